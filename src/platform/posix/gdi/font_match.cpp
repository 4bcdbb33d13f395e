// Choosing a face for a logical font through fontconfig: see font_object.h.
#include <fontconfig/fontconfig.h>

#include <cstdio>
#include <cstring>
#include <strings.h>

#include "gdi/font_object.h"

namespace {

// Windows core faces and the faces that share their metrics.
struct Alias {
    const char *windows;
    const char *here;
};
const Alias aliases[] = {
    {"Courier New", "Liberation Mono"},
    {DEVICE_FONT_FACE, "Liberation Mono"},
    {"Arial", "Liberation Sans"},
    {"Times New Roman", "Liberation Serif"},
};

// Faces of fixed pitch that a Windows report may name; a stand-in must be fixed too.
const char *const fixed_faces[] = {
    "Lucida Console", "Consolas",      "Fixedsys",       "Terminal",       "Lucida Sans Typewriter",
    "Andale Mono",    "Letter Gothic", "Prestige Elite", "OCR A Extended", "OCR-B"};

bool wants_fixed_pitch(const LOGFONTA *lf, const char *face) {
    if ((lf->lfPitchAndFamily & 0x03) == FIXED_PITCH) return true;
    if ((lf->lfPitchAndFamily & 0xF0) == FF_MODERN) return true;
    for (const char *f : fixed_faces)
        if (strcasecmp(f, face) == 0) return true;
    return strcasestr(face, "mono") || strcasestr(face, "courier") ||
           strcasestr(face, "typewriter") || strcasestr(face, "console");
}

const char *generic_family(const LOGFONTA *lf, bool fixed) {
    if (fixed) return "monospace";
    switch (lf->lfPitchAndFamily & 0xF0) {
        case FF_ROMAN:
            return "serif";
        case FF_SCRIPT:
            return "cursive";
        case FF_DECORATIVE:
            return "fantasy";
        default:
            return "sans-serif";
    }
}

FcPattern *pattern_for(const LOGFONTA *lf, const char *family, bool fixed) {
    FcPattern *p = FcPatternCreate();
    if (!p) return nullptr;
    if (family && *family) FcPatternAddString(p, FC_FAMILY, (const FcChar8 *)family);
    FcPatternAddString(p, FC_FAMILY, (const FcChar8 *)generic_family(lf, fixed));
    int weight = lf->lfWeight > 0 ? (int)lf->lfWeight : FW_NORMAL;
    FcPatternAddInteger(p, FC_WEIGHT, FcWeightFromOpenType(weight > 1000 ? 1000 : weight));
    FcPatternAddInteger(p, FC_SLANT, lf->lfItalic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
    if (fixed) FcPatternAddInteger(p, FC_SPACING, FC_MONO);
    FcPatternAddBool(p, FC_SCALABLE, FcTrue);
    FcConfigSubstitute(nullptr, p, FcMatchPattern);
    FcDefaultSubstitute(p);
    return p;
}

// The best face for the pattern, or null.
FcPattern *match(FcPattern *p) {
    if (!p) return nullptr;
    FcResult result;
    FcPattern *m = FcFontMatch(nullptr, p, &result);
    FcPatternDestroy(p);
    return m;
}

bool has_family(FcPattern *m, const char *family) {
    FcChar8 *name;
    for (int i = 0; FcPatternGetString(m, FC_FAMILY, i, &name) == FcResultMatch; i++)
        if (strcasecmp((const char *)name, family) == 0) return true;
    return false;
}

bool is_mono(FcPattern *m) {
    int spacing = FC_PROPORTIONAL;
    FcPatternGetInteger(m, FC_SPACING, 0, &spacing);
    return spacing == FC_MONO || spacing == FC_CHARCELL;
}

bool fill(FcPattern *m, FontMatch *out) {
    FcChar8 *file, *family;
    if (FcPatternGetString(m, FC_FILE, 0, &file) != FcResultMatch) return false;
    if (strlen((const char *)file) >= sizeof out->path) return false;
    snprintf(out->path, sizeof out->path, "%s", (const char *)file);
    out->index = 0;
    FcPatternGetInteger(m, FC_INDEX, 0, &out->index);
    out->family[0] = 0;
    if (FcPatternGetString(m, FC_FAMILY, 0, &family) == FcResultMatch)
        snprintf(out->family, sizeof out->family, "%s", (const char *)family);  // cut to fit
    out->monospace = is_mono(m);
    int weight = FC_WEIGHT_REGULAR, slant = FC_SLANT_ROMAN;
    FcPatternGetInteger(m, FC_WEIGHT, 0, &weight);
    FcPatternGetInteger(m, FC_SLANT, 0, &slant);
    out->bold_face = weight >= FC_WEIGHT_DEMIBOLD;
    out->italic_face = slant != FC_SLANT_ROMAN;
    return true;
}

}  // namespace

bool font_is_device_face(const char *face) { return strcasecmp(face, DEVICE_FONT_FACE) == 0; }

bool font_match(const LOGFONTA *lf, FontMatch *out) {
    char face[LF_FACESIZE + 1];
    memcpy(face, lf->lfFaceName, LF_FACESIZE);
    face[LF_FACESIZE] = 0;
    const char *family = face;
    for (const Alias &a : aliases)
        if (strcasecmp(a.windows, face) == 0) family = a.here;
    bool fixed = wants_fixed_pitch(lf, face);
    FcPattern *m = match(pattern_for(lf, family, fixed));
    // A face that fontconfig lacks gives way to a generic face of the same pitch: without the
    // spacing check "Lucida Console" would come out proportional.
    if (m && *family && !has_family(m, family) && fixed && !is_mono(m)) {
        FcPatternDestroy(m);
        m = match(pattern_for(lf, nullptr, true));
    }
    bool ok = m && fill(m, out);
    if (m) FcPatternDestroy(m);
    return ok;
}
