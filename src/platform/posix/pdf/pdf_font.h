// A TrueType face as a PDF simple font with WinAnsiEncoding: the glyph and width of each
// Windows-1252 byte, the metrics of its font descriptor, which bytes a document used, and a
// subset of the font program that holds only those glyphs.
#pragma once

#include <cstddef>
#include <cstdint>

const int PDF_FONT_NAME_SIZE = 80;

struct PdfFont {
    void *face;                          // FT_Face, owned
    char base_name[PDF_FONT_NAME_SIZE];  // subset tag, "+", PostScript name
    int units_per_em;
    int widths[256];                  // advance of each byte, in thousandths of the em
    uint16_t glyph[256];              // glyph of each byte, 0 (.notdef) when the face lacks it
    bool used[256];                   // bytes that some page drew
    int ascent, descent, cap_height;  // thousandths of the em
    int bbox[4];
    int underline_position, underline_thickness;  // thousandths of the em
    bool fixed_pitch;
};

// Loads face `index` of the font file `path` with the FreeType library `library` (an
// FT_Library). False when the file is not a TrueType (glyf) font that a subset can be made of.
bool pdf_font_load(PdfFont *font, void *library, const char *path, int index);
// Releases the face.
void pdf_font_free(PdfFont *font);

// The font program with the glyphs of the used bytes (and the glyphs they are built from),
// every other glyph emptied; glyph numbers stay as they are. Allocated with malloc into
// *program; false when the face's tables are missing or malformed, or memory is short.
bool pdf_font_subset(const PdfFont *font, unsigned char **program, size_t *size);
