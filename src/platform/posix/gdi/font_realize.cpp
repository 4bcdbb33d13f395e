// Realising logical fonts on FreeType faces with the GDI sizing rules: see font_object.h.
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_TRUETYPE_TABLES_H
#include <cairo-ft.h>

#include <cmath>
#include <cstdio>
#include <cstring>

#include "gdi/cp1252.h"
#include "gdi/font_object.h"

namespace {

FT_Library library() {
    static FT_Library lib = nullptr;
    static bool tried = false;
    if (!tried) {
        tried = true;
        if (FT_Init_FreeType(&lib) != 0) lib = nullptr;
    }
    return lib;
}

const cairo_user_data_key_t ft_face_key = {};

void done_face(void *face) { FT_Done_Face((FT_Face)face); }

int round_int(double v) { return (int)std::lround(v); }

// The face's vertical extent in font units: the Windows ascent and descent when it has them.
void vertical_extent(FT_Face ft, double *ascent, double *descent) {
    const TT_OS2 *os2 = (const TT_OS2 *)FT_Get_Sfnt_Table(ft, FT_SFNT_OS2);
    *ascent = os2 ? os2->usWinAscent : ft->ascender;
    *descent = os2 ? os2->usWinDescent : -ft->descender;
    if (*ascent + *descent <= 0) {
        *ascent = ft->ascender > 0 ? ft->ascender : ft->units_per_EM * 0.8;
        *descent = ft->descender < 0 ? -ft->descender : ft->units_per_EM * 0.2;
    }
}

// Leading the face asks for beyond its cell, as GDI derives it from the hhea table.
double line_gap(FT_Face ft, double cell) {
    const TT_HoriHeader *hhea = (const TT_HoriHeader *)FT_Get_Sfnt_Table(ft, FT_SFNT_HHEA);
    if (!hhea) return 0;
    double gap = hhea->Line_Gap - (cell - (hhea->Ascender - hhea->Descender));
    return gap > 0 ? gap : 0;
}

double natural_average(FT_Face ft) {
    const TT_OS2 *os2 = (const TT_OS2 *)FT_Get_Sfnt_Table(ft, FT_SFNT_OS2);
    if (os2 && os2->xAvgCharWidth > 0) return os2->xAvgCharWidth;
    FT_UInt g = FT_Get_Char_Index(ft, 'x');
    if (g && FT_Load_Glyph(ft, g, FT_LOAD_NO_SCALE) == 0) return ft->glyph->metrics.horiAdvance;
    return ft->units_per_EM / 2.0;
}

BYTE pitch_and_family(FT_Face ft, bool mono, bool device) {
    if (device) return FF_MODERN | TMPF_DEVICE;
    BYTE family = FF_DONTCARE;
    const TT_OS2 *os2 = (const TT_OS2 *)FT_Get_Sfnt_Table(ft, FT_SFNT_OS2);
    if (mono) {
        family = FF_MODERN;
    } else if (os2) {
        BYTE kind = os2->panose[0], serif = os2->panose[1];
        if (kind == 3)
            family = FF_SCRIPT;
        else if (kind == 4)
            family = FF_DECORATIVE;
        else if (serif >= 11 && serif <= 15)
            family = FF_SWISS;
        else if (serif >= 2 && serif <= 10)
            family = FF_ROMAN;
        else
            family = FF_SWISS;
    }
    BYTE bits = mono ? 0 : TMPF_FIXED_PITCH;  // the bit is set for *variable* pitch
    if (FT_IS_SCALABLE(ft)) bits |= TMPF_VECTOR;
    if (FT_IS_SFNT(ft)) bits |= TMPF_TRUETYPE;
    return (BYTE)(family | bits);
}

// The byte → glyph table and the advances, rounded per character as GDI does.
void glyph_table(FontObject *font, FT_Face ft, double scale, bool mono) {
    for (int b = 0; b < 256; b++) {
        unsigned u = cp1252_unicode[b];
        bool drawable = u >= 0x20 && u != 0x7F;
        font->glyph[b] = drawable ? (int)FT_Get_Char_Index(ft, u) : 0;
        font->advance[b] = font->tm.tmAveCharWidth;
        if (!mono && font->glyph[b] && FT_Load_Glyph(ft, font->glyph[b], FT_LOAD_NO_SCALE) == 0)
            font->advance[b] = round_int(ft->glyph->metrics.horiAdvance * scale * font->xscale);
    }
}

void decorations(FontObject *font, FT_Face ft, double scale) {
    int ascent = font->tm.tmAscent;
    int size = round_int(ft->underline_thickness * scale);
    font->underline_size = size > 0 ? size : 1;
    int position = ft->underline_position ? ft->underline_position : -ft->units_per_EM / 10;
    font->underline_top = ascent - round_int(position * scale) - font->underline_size / 2;
    const TT_OS2 *os2 = (const TT_OS2 *)FT_Get_Sfnt_Table(ft, FT_SFNT_OS2);
    double strike_pos =
        os2 && os2->yStrikeoutPosition ? os2->yStrikeoutPosition : ft->units_per_EM * 0.26;
    font->strike_size = font->underline_size;
    font->strike_top = ascent - round_int(strike_pos * scale);
}

void fill_metrics(FontObject *font, FT_Face ft, const FontMatch *m, bool device, int dpi) {
    const LOGFONTA &lf = font->lf;
    double a, d;
    vertical_extent(ft, &a, &d);
    double units = ft->units_per_EM;
    double em =
        device || lf.lfHeight < 0 ? std::fabs((double)lf.lfHeight) : lf.lfHeight * units / (a + d);
    if (lf.lfHeight == 0) em = dpi * 12.0 / 72.0;  // 12 points when the caller leaves it open
    double scale = em / units;
    TEXTMETRICA &tm = font->tm;
    memset(&tm, 0, sizeof tm);
    if (device) {  // the resident font's cell is its em
        tm.tmHeight = round_int(em);
        tm.tmAscent = round_int(em * a / (a + d));
    } else {
        tm.tmAscent = round_int(a * scale);
        tm.tmHeight = lf.lfHeight > 0 ? lf.lfHeight : tm.tmAscent + round_int(d * scale);
    }
    tm.tmDescent = tm.tmHeight - tm.tmAscent;
    tm.tmInternalLeading = device ? 0 : tm.tmHeight - round_int(em);
    if (tm.tmInternalLeading < 0) tm.tmInternalLeading = 0;
    tm.tmExternalLeading = device ? 0 : round_int(line_gap(ft, a + d) * scale);
    double natural = natural_average(ft) * scale;
    font->xscale = lf.lfWidth > 0 && natural > 0 ? lf.lfWidth / natural : 1.0;
    tm.tmAveCharWidth = lf.lfWidth > 0 ? lf.lfWidth : round_int(natural);
    tm.tmMaxCharWidth = round_int(ft->max_advance_width * scale * font->xscale);
    if (tm.tmMaxCharWidth < tm.tmAveCharWidth) tm.tmMaxCharWidth = tm.tmAveCharWidth;
    tm.tmWeight = lf.lfWeight > 0 ? lf.lfWeight : FW_NORMAL;
    tm.tmDigitizedAspectX = tm.tmDigitizedAspectY = dpi;
    tm.tmFirstChar = 0x20;
    tm.tmLastChar = 0xFF;
    tm.tmDefaultChar = 0x1F;
    tm.tmBreakChar = 0x20;
    tm.tmItalic = lf.lfItalic ? 1 : 0;
    tm.tmUnderlined = lf.lfUnderline ? 1 : 0;
    tm.tmStruckOut = lf.lfStrikeOut ? 1 : 0;
    tm.tmPitchAndFamily = pitch_and_family(ft, m->monospace, device);
    tm.tmCharSet = ANSI_CHARSET;
    font->em = em;
    glyph_table(font, ft, scale, m->monospace || device);
    decorations(font, ft, scale);
}

// Faces already loaded, shared by every font of the same file and synthesis so that a
// document embeds each face once. The cache keeps one reference to each face for the life of
// the process; when it is full, further faces are loaded unshared.
struct CachedFace {
    char path[4096];
    int index;
    unsigned synth;
    cairo_font_face_t *face;
};
const int FACE_CACHE_SIZE = 32;
CachedFace face_cache[FACE_CACHE_SIZE];
int face_cache_used = 0;

FT_Face ft_face_of(cairo_font_face_t *face) {
    return (FT_Face)cairo_font_face_get_user_data(face, &ft_face_key);
}

// A new reference to the cairo face of a file, index and synthesis; its FreeType face goes to
// *ft. Null when the file cannot be loaded.
cairo_font_face_t *shared_face(const FontMatch *m, unsigned synth, FT_Face *ft) {
    for (int i = 0; i < face_cache_used; i++) {
        CachedFace &c = face_cache[i];
        if (c.index == m->index && c.synth == synth && strcmp(c.path, m->path) == 0) {
            *ft = ft_face_of(c.face);
            return cairo_font_face_reference(c.face);
        }
    }
    if (!library() || FT_New_Face(library(), m->path, m->index, ft) != 0) return nullptr;
    FT_Select_Charmap(*ft, FT_ENCODING_UNICODE);
    cairo_font_face_t *face = cairo_ft_font_face_create_for_ft_face(*ft, 0);
    if (cairo_font_face_set_user_data(face, &ft_face_key, *ft, done_face) != CAIRO_STATUS_SUCCESS) {
        cairo_font_face_destroy(face);
        FT_Done_Face(*ft);
        return nullptr;
    }
    cairo_ft_font_face_set_synthesize(face, synth);
    if (face_cache_used < FACE_CACHE_SIZE) {
        CachedFace &c = face_cache[face_cache_used++];
        snprintf(c.path, sizeof c.path, "%s", m->path);
        c.index = m->index;
        c.synth = synth;
        c.face = cairo_font_face_reference(face);
    }
    return face;
}

void release_face(FontObject *font) {
    if (font->face) cairo_font_face_destroy(font->face);
    font->face = nullptr;
    font->realized_dpi = 0;
}

}  // namespace

bool font_realize(FontObject *font, int dpi) {
    if (font->realized_dpi == dpi && font->face) return true;
    release_face(font);
    FontMatch m;
    if (!font_match(&font->lf, &m)) return false;
    int weight = font->lf.lfWeight > 0 ? (int)font->lf.lfWeight : FW_NORMAL;
    unsigned synth = 0;
    if (weight >= 600 && !m.bold_face) synth |= CAIRO_FT_SYNTHESIZE_BOLD;
    if (font->lf.lfItalic && !m.italic_face) synth |= CAIRO_FT_SYNTHESIZE_OBLIQUE;
    FT_Face ft = nullptr;
    font->face = shared_face(&m, synth, &ft);
    if (!font->face) return false;
    char face[LF_FACESIZE + 1];
    memcpy(face, font->lf.lfFaceName, LF_FACESIZE);
    face[LF_FACESIZE] = 0;
    bool device = font_is_device_face(face);
    fill_metrics(font, ft, &m, device, dpi);
    snprintf(font->face_name, sizeof font->face_name, "%s", device ? DEVICE_FONT_FACE : m.family);
    font->synthetic_bold = (synth & CAIRO_FT_SYNTHESIZE_BOLD) != 0;
    snprintf(font->path, sizeof font->path, "%s", m.path);
    font->face_index = m.index;
    font->monospace = m.monospace || device;
    font->bold_face = m.bold_face;
    font->realized_dpi = dpi;
    return true;
}

void font_release_face(FontObject *font) { release_face(font); }
