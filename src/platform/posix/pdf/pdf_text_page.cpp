// The page level of the PDF text writer: see pdf_text.h.
#include <cmath>
#include <cstdlib>

#include <zlib.h>

#include "pdf/pdf_objects.h"

namespace {

// A PDF literal string of the bytes: the delimiters and the backslash escaped, CR and LF
// written as escapes so that no line-end conversion can change them.
void append_string(PdfBuffer *content, const unsigned char *bytes, int count) {
    if (!pdf_buffer_reserve(content, content->used + 2 * (size_t)count + 2)) return;
    unsigned char *out = content->bytes + content->used;
    *out++ = '(';
    for (int i = 0; i < count; i++) {
        unsigned char b = bytes[i];
        if (b == '(' || b == ')' || b == '\\') {
            *out++ = '\\';
            *out++ = b;
        } else if (b == '\r' || b == '\n') {
            *out++ = '\\';
            *out++ = b == '\r' ? 'r' : 'n';
        } else {
            *out++ = b;
        }
    }
    *out++ = ')';
    content->used = (size_t)(out - content->bytes);
}

// Emits "value operator" on a line of its own.
void set_parameter(PdfBuffer *c, double value, const char *op) {
    pdf_buffer_bytes(c, "\n", 1);
    pdf_buffer_number(c, value);
    pdf_buffer_printf(c, " %s", op);
}

// Selects the font, size, horizontal scale, character spacing and rendering mode unless the
// page already has them.
void select_font(PdfText *doc, int font, double size, double stretch, double spacing,
                 bool embolden) {
    PdfBuffer *c = &doc->content;
    if (font != doc->current_font || fabs(size - doc->current_size) > 1e-6) {
        pdf_buffer_printf(c, "\n/F%d ", font);
        pdf_buffer_number(c, size);
        pdf_buffer_bytes(c, " Tf", 3);
        doc->current_font = font;
        doc->current_size = size;
    }
    if (fabs(stretch - doc->current_stretch) > 1e-6) {
        set_parameter(c, stretch * 100, "Tz");
        doc->current_stretch = stretch;
    }
    if (fabs(spacing - doc->current_spacing) > 1e-6) {
        set_parameter(c, spacing, "Tc");
        doc->current_spacing = spacing;
    }
    if (embolden != doc->current_embolden) {
        // Fill and stroke with a line of a thirtieth of the em; fill only.
        if (embolden) set_parameter(c, size / 30, "w 2 Tr");
        pdf_buffer_bytes(c, embolden ? "" : "\n0 Tr", embolden ? 0 : 5);
        doc->current_embolden = embolden;
    }
}

// The glyphs of the run as one string when every width is the reference width; otherwise a
// TJ array that moves each glyph of another width back onto its cell.
void append_glyphs(PdfBuffer *c, const PdfFont *f, int reference, const unsigned char *bytes,
                   int count) {
    bool even = true;
    for (int i = 0; i < count && even; i++) even = f->widths[bytes[i]] == reference;
    if (even) {
        append_string(c, bytes, count);
        pdf_buffer_bytes(c, "Tj\n", 3);
        return;
    }
    pdf_buffer_bytes(c, "[", 1);
    int start = 0;
    for (int i = 0; i < count; i++) {
        int width = f->widths[bytes[i]];
        if (width == reference) continue;
        append_string(c, bytes + start, i + 1 - start);
        pdf_buffer_printf(c, "%d", width - reference);
        start = i + 1;
    }
    if (start < count) append_string(c, bytes + start, count - start);
    pdf_buffer_bytes(c, "] TJ\n", 5);
}

}  // namespace

void pdf_text_page(PdfText *doc, double width, double height) {
    if (doc->page_open) pdf_text_end_page(doc);
    doc->page_open = true;
    doc->page_width = width * doc->scale;
    doc->page_height = height * doc->scale;
    doc->content.used = 0;
    doc->graphics.used = 0;
    doc->current_font = -1;
    doc->current_size = 0;
    doc->current_spacing = 0;
    doc->current_pen = 1;  // the default line width is one point
    doc->current_stretch = 1;
    doc->current_embolden = false;
    doc->text_open = false;
    doc->line_x = doc->line_y = 0;
}

// Moves the text position to (left, baseline) relative to the current line's start: the
// same small moves repeat from line to line, which compresses to almost nothing.
static void move_to(PdfText *doc, double left, double baseline) {
    PdfBuffer *c = &doc->content;
    if (!doc->text_open) {
        pdf_buffer_bytes(c, "q BT\n", 5);
        doc->text_open = true;
    }
    long long x = llround(left * 1000), y = llround(baseline * 1000);
    pdf_buffer_number(c, (x - doc->line_x) / 1000.0);
    pdf_buffer_bytes(c, " ", 1);
    pdf_buffer_number(c, (y - doc->line_y) / 1000.0);
    pdf_buffer_bytes(c, " Td", 3);
    doc->line_x = x;
    doc->line_y = y;
}

void pdf_text_run(PdfText *doc, int font, const PdfRunStyle *style, double x, double y,
                  const unsigned char *bytes, int count) {
    if (!doc->page_open || font < 0 || font >= doc->font_count || count <= 0) return;
    PdfFont *f = &doc->fonts[font];
    for (int i = 0; i < count; i++) f->used[bytes[i]] = true;
    double size = style->em * doc->scale;
    if (size <= 0) return;
    const int zero = '0';  // the reference width: a digit's, the cell of a report column
    int reference = f->widths[zero] ? f->widths[zero] : f->widths[bytes[0]];
    double stretch = style->stretch > 0 ? style->stretch : 1;
    // Tc and the glyph widths are both scaled by Tz: the cell is divided by it first.
    double spacing = style->cell * doc->scale / stretch - reference * size / 1000.0;
    double left = x * doc->scale, baseline = doc->page_height - y * doc->scale;
    move_to(doc, left, baseline);
    select_font(doc, font, size, stretch, spacing, style->embolden);
    append_glyphs(&doc->content, f, reference, bytes, count);
    if (style->underline) {
        PdfBuffer *g = &doc->graphics;
        double thickness = f->underline_thickness * size / 1000.0;
        double top = baseline + f->underline_position * size / 1000.0 - thickness / 2;
        pdf_buffer_number(g, left);
        pdf_buffer_bytes(g, " ", 1);
        pdf_buffer_number(g, top);
        pdf_buffer_bytes(g, " ", 1);
        pdf_buffer_number(g, count * style->cell * doc->scale);
        pdf_buffer_bytes(g, " ", 1);
        pdf_buffer_number(g, thickness);
        pdf_buffer_bytes(g, " re f\n", 6);
    }
}

void pdf_text_line(PdfText *doc, double x0, double y0, double x1, double y1, double pen) {
    if (!doc->page_open) return;
    PdfBuffer *g = &doc->graphics;
    double width = pen * doc->scale;
    if (fabs(width - doc->current_pen) > 1e-6) {
        pdf_buffer_number(g, width);
        pdf_buffer_bytes(g, " w\n", 3);
        doc->current_pen = width;
    }
    const double points[4] = {x0 * doc->scale, doc->page_height - y0 * doc->scale, x1 * doc->scale,
                              doc->page_height - y1 * doc->scale};
    for (int i = 0; i < 4; i++) {
        pdf_buffer_number(g, points[i]);
        pdf_buffer_bytes(g, i == 1 ? " m " : i == 3 ? " l S\n" : " ", i == 1 ? 3 : i == 3 ? 5 : 1);
    }
}

// Deflates the page's content into doc->packed with the document's one compressor. Level 4
// makes a report page about 1 % larger than level 6 in three quarters of the time (the
// compressor is half of the cost of a page).
static bool pack_content(PdfText *doc) {
    z_stream *z = (z_stream *)doc->deflater;
    if (!z) {
        z = static_cast<z_stream *>(calloc(1, sizeof(z_stream)));
        if (!z || deflateInit(z, 4) != Z_OK) {
            free(z);
            return false;
        }
        doc->deflater = z;
    } else if (deflateReset(z) != Z_OK) {
        return false;
    }
    size_t bound = deflateBound(z, doc->content.used);
    if (!pdf_buffer_reserve(&doc->packed, bound)) return false;
    z->next_in = doc->content.bytes;
    z->avail_in = (uInt)doc->content.used;
    z->next_out = doc->packed.bytes;
    z->avail_out = (uInt)bound;
    if (deflate(z, Z_FINISH) != Z_STREAM_END) return false;
    doc->packed.used = bound - z->avail_out;
    return true;
}

bool pdf_text_end_page(PdfText *doc) {
    if (!doc->page_open) return !doc->failed;
    doc->page_open = false;
    // The text object's state (the stroke width of emboldened text) ends with it: the lines
    // after it start from the page's defaults.
    if (doc->text_open) pdf_buffer_bytes(&doc->content, "ET Q\n", 5);
    if (doc->graphics.used)
        pdf_buffer_bytes(&doc->content, doc->graphics.bytes, doc->graphics.used);
    if (doc->content.failed || doc->graphics.failed || !pack_content(doc)) doc->failed = true;
    int content = pdf_new_object(doc), page = pdf_new_object(doc);
    if (!pdf_grow(&doc->pages, &page, sizeof page)) doc->failed = true;
    if (doc->failed) return false;
    PdfOutput *out = doc->out;
    pdf_begin_object(doc, content);
    pdf_output_printf(out, "<< /Length %zu /Filter /FlateDecode >>\nstream\n", doc->packed.used);
    pdf_output_bytes(out, doc->packed.bytes, doc->packed.used);
    pdf_output_printf(out, "\nendstream\nendobj\n");
    // The page inherits the font resources and, when it has the first page's size, the
    // media box from the page tree.
    pdf_begin_object(doc, page);
    pdf_output_printf(out, "<< /Type /Page /Parent 2 0 R /Contents %d 0 R", content);
    if (doc->pages.count == 1) {
        doc->sheet_width = doc->page_width;
        doc->sheet_height = doc->page_height;
    } else if (doc->page_width != doc->sheet_width || doc->page_height != doc->sheet_height) {
        pdf_output_printf(out, " /MediaBox [0 0 %.3f %.3f]", doc->page_width, doc->page_height);
    }
    pdf_output_printf(out, " >>\nendobj\n");
    return !out->failed;
}
