// Loading a TrueType face for the PDF text path: see pdf_font.h.
#include "pdf/pdf_font.h"

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_TRUETYPE_TABLES_H
#include FT_TRUETYPE_TAGS_H

#include <cstdio>
#include <cstring>

#include "gdi/cp1252.h"

namespace {

int thousandths(long units, int units_per_em) {
    return (int)(units * 1000 / (units_per_em > 0 ? units_per_em : 1000));
}

// A six-letter subset tag from the name, so that two subsets of one face in one document
// would still differ by their byte sets; here the tag only has to be well formed.
void subset_name(const char *postscript, char *out, size_t size) {
    unsigned hash = 2166136261u;
    for (const char *p = postscript; *p; p++) hash = (hash ^ (unsigned char)*p) * 16777619u;
    char tag[7];
    for (int i = 0; i < 6; i++, hash /= 26) tag[i] = (char)('A' + hash % 26);
    tag[6] = 0;
    snprintf(out, size, "%s+%s", tag, postscript);
}

}  // namespace

bool pdf_font_load(PdfFont *font, void *library, const char *path, int index) {
    memset(font, 0, sizeof *font);
    FT_Face face;
    if (FT_New_Face((FT_Library)library, path, index, &face) != 0) return false;
    FT_ULong length = 0;
    if (!FT_IS_SFNT(face) || FT_Load_Sfnt_Table(face, TTAG_glyf, 0, nullptr, &length) != 0) {
        FT_Done_Face(face);
        return false;
    }
    font->face = face;
    font->units_per_em = face->units_per_EM;
    const char *postscript = FT_Get_Postscript_Name(face);
    char clean[PDF_FONT_NAME_SIZE - 8];
    size_t n = 0;
    for (const char *p = postscript ? postscript : "Font"; *p && n + 1 < sizeof clean; p++)
        if (*p > 32 && *p < 127 && !strchr("()<>[]{}/%#", *p)) clean[n++] = *p;
    clean[n] = 0;
    subset_name(clean, font->base_name, sizeof font->base_name);
    for (int byte = 0; byte < 256; byte++) {
        unsigned code = cp1252_unicode[byte];
        FT_UInt glyph = (byte >= 32 && code) ? FT_Get_Char_Index(face, code) : 0;
        font->glyph[byte] = (uint16_t)glyph;
        if (FT_Load_Glyph(face, glyph, FT_LOAD_NO_SCALE) == 0)
            font->widths[byte] = thousandths(face->glyph->metrics.horiAdvance, font->units_per_em);
    }
    font->ascent = thousandths(face->ascender, font->units_per_em);
    font->descent = thousandths(face->descender, font->units_per_em);
    const TT_OS2 *os2 = (const TT_OS2 *)FT_Get_Sfnt_Table(face, FT_SFNT_OS2);
    font->cap_height =
        os2 && os2->version >= 2 ? thousandths(os2->sCapHeight, font->units_per_em) : font->ascent;
    const FT_BBox &box = face->bbox;
    const long corners[4] = {box.xMin, box.yMin, box.xMax, box.yMax};
    for (int i = 0; i < 4; i++) font->bbox[i] = thousandths(corners[i], font->units_per_em);
    font->underline_position = thousandths(face->underline_position, font->units_per_em);
    font->underline_thickness = thousandths(face->underline_thickness, font->units_per_em);
    if (font->underline_thickness <= 0) font->underline_thickness = 50;
    font->fixed_pitch = FT_IS_FIXED_WIDTH(face);
    return true;
}

void pdf_font_free(PdfFont *font) {
    if (font->face) FT_Done_Face((FT_Face)font->face);
    font->face = nullptr;
}
