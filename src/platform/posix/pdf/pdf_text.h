// A PDF writer for line-printer pages: text runs on a grid of character cells, underlines and
// ruler lines, written page by page with compressed content streams; each TrueType face is
// embedded once, at the end, as a subset of the glyphs the document used. Positions are
// device units of `dpi` dots per inch from the top left of the page, as a printer device
// context has them. Memory stays flat: a page's content is built in a buffer that is reused,
// and what grows with the document is one offset per object.
//
//     PdfText doc;
//     pdf_text_begin(&doc, write, context, 600);
//     int regular = pdf_text_font(&doc, "/usr/share/fonts/.../Mono.ttf", 0);
//     pdf_text_page(&doc, 11 * 600, 8.5 * 600);
//     pdf_text_run(&doc, regular, &style, x, baseline, bytes, count);
//     pdf_text_end_page(&doc);
//     pdf_text_finish(&doc);   // or pdf_text_abandon(&doc)
#pragma once

#include <cstddef>
#include <cstdint>

#include "pdf/pdf_font.h"
#include "pdf/pdf_output.h"

const int PDF_TEXT_FONTS = 8;

struct PdfGrowable {  // object offsets (8 bytes each) or page object numbers (4 bytes each)
    void *items;
    size_t count;
    size_t capacity;
};

// How a run is drawn: the em height and the advance of one character cell, both in device
// units; the run's glyphs stand one cell apart whatever the face's own widths are. A face
// stretched to a logical width draws its glyphs `stretch` times as wide (0 means 1); a face
// without a bold variant is emboldened by stroking its outlines.
struct PdfRunStyle {
    double em;
    double cell;
    bool underline;
    double stretch;
    bool embolden;
};

struct PdfText {
    PdfOutput *out;  // allocated by pdf_text_begin (64 KiB)
    double scale;    // points per device unit
    void *library;   // FT_Library
    PdfFont fonts[PDF_TEXT_FONTS];
    int font_objects[PDF_TEXT_FONTS];  // first of the three objects of each font
    int font_count;
    PdfGrowable offsets;  // byte offset of object n at index n - 1
    PdfGrowable pages;    // object number of each page
    int next_object;
    double sheet_width, sheet_height;  // the first page's size, which the page tree gives all
    // The open page.
    bool page_open;
    double page_width, page_height;  // points
    PdfBuffer content;               // the page's text object
    PdfBuffer graphics;              // underlines and lines, drawn after the text
    PdfBuffer packed;                // the compressed content
    void *deflater;                  // z_stream, reset for every page
    int current_font;                // the font and size the content has selected, -1 none
    double current_size, current_spacing, current_pen, current_stretch;
    bool current_embolden;
    bool text_open;            // the content has begun its text object
    long long line_x, line_y;  // start of the current text line, thousandths of a point
    bool failed;               // out of memory or the destination failed: the document is lost
    int info_object;           // the document information dictionary, 0 when none
};

// Starts a document that hands its bytes to `write`. False when memory is short.
bool pdf_text_begin(PdfText *doc, PdfWrite write, void *context, int dpi);
// Writes the document information: `title` as `count` UTF-16 code units (cut at 1024) and
// `creator` in ASCII. Called once, before the first page.
void pdf_text_info(PdfText *doc, const uint16_t *title, int count, const char *creator);
// Registers a TrueType face (file and face index) and returns its number, or -1 when the
// face cannot be loaded or subset (a CFF font, for example) or all slots are taken.
int pdf_text_font(PdfText *doc, const char *path, int index);
// Opens a page of the given size in device units (ends the open one first).
void pdf_text_page(PdfText *doc, double width, double height);
// Draws `count` single-byte (Windows-1252) characters with font `font`, the first cell's
// left edge at x and the baseline at y.
void pdf_text_run(PdfText *doc, int font, const PdfRunStyle *style, double x, double y,
                  const unsigned char *bytes, int count);
// Draws a line of width `pen` (device units) from (x0, y0) to (x1, y1).
void pdf_text_line(PdfText *doc, double x0, double y0, double x1, double y1, double pen);
// Ends the open page: its content goes out compressed. False when the document failed.
bool pdf_text_end_page(PdfText *doc);
// Ends the open page, writes the fonts, the page tree and the cross-reference table, and
// releases everything. False when anything failed; what was written is then incomplete.
bool pdf_text_finish(PdfText *doc);
// Releases everything without completing the document.
void pdf_text_abandon(PdfText *doc);
