// Logical fonts and their realisation on FreeType faces with the GDI sizing rules:
// a negative lfHeight is the em height, a positive one the cell height (ascent + descent),
// lfWidth the average character width (the face is stretched to it), and the printer's
// resident "Courier", whose cell is its em so that 12 points give 6 lines per inch.
#pragma once

#include <cairo.h>

#include "win32_types.h"

// The face name of the printer's resident font.
#define DEVICE_FONT_FACE "Courier"

struct FontObject {
    LOGFONTA lf;
    int selections;   // device contexts that have it selected
    bool dc_default;  // a device context's default font, freed with that context only
    // Realised state, for the resolution of realised_dpi (0 when not realised).
    int realized_dpi;
    cairo_font_face_t *face;  // owns the FreeType face
    double em, xscale;        // em height in device units, horizontal stretch
    bool synthetic_bold;
    int glyph[256];                     // glyph of each Windows-1252 byte, 0: draws nothing
    int advance[256];                   // advance of each byte in device units
    int underline_top, underline_size;  // below the cell's top, device units
    int strike_top, strike_size;
    TEXTMETRICA tm;
    char face_name[LF_FACESIZE];
    // The face file behind the realised font, for writers that embed it themselves.
    char path[4096];
    int face_index;
    bool monospace;  // every byte advances one cell of tmAveCharWidth
    bool bold_face;  // the face itself is bold
};

// The font object behind a handle, or null.
FontObject *font_from(int handle);
// A new font handle for `lf` (0 when out of memory or handles).
int font_create(const LOGFONTA *lf);
// Frees the font object of a handle that is not selected anywhere.
void font_destroy(int handle);

// Realises the font for a device of `dpi` dots per inch (cached); false when no face could be
// loaded, in which case the font draws nothing.
bool font_realize(FontObject *font, int dpi);
// Drops the realised face (the font keeps its logical description).
void font_release_face(FontObject *font);

// What fontconfig offers for a logical font.
struct FontMatch {
    char path[4096];
    int index;
    char family[LF_FACESIZE];
    bool monospace;
    bool bold_face;    // the face itself is bold
    bool italic_face;  // the face itself is italic
};
// Resolves the face of `lf`: a face fontconfig lacks falls back to one of the same pitch, and
// the Windows core faces map to their metric-compatible Liberation faces. False when
// fontconfig offers nothing at all.
bool font_match(const LOGFONTA *lf, FontMatch *out);
// True when the face name asks for the printer's resident font.
bool font_is_device_face(const char *face);
