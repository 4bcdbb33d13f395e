// CreateFontIndirectA, SelectObject, DeleteObject, GetTextMetricsA and GetTextFaceA.
#include <cstdlib>
#include <cstring>

#include "core/handles.h"
#include "core/trace.h"
#include "gdi/device_context.h"
#include "gdi/font_object.h"
#include "platform/windows_services.h"

FontObject *font_from(int handle) { return (FontObject *)handle_get(handle, HK_FONT); }

int font_create(const LOGFONTA *lf) {
    FontObject *font = (FontObject *)calloc(1, sizeof(FontObject));
    if (!font) return 0;
    font->lf = *lf;
    int handle = handle_alloc(HK_FONT, font);
    if (!handle) free(font);
    return handle;
}

void font_destroy(int handle) {
    FontObject *font = (FontObject *)handle_release(handle, HK_FONT);
    if (!font) return;
    font_release_face(font);
    free(font);
}

namespace {

void trace_logfont(TraceLine *t, const LOGFONTA *lf) {
    char face[LF_FACESIZE + 1];
    memcpy(face, lf->lfFaceName, LF_FACESIZE);
    face[LF_FACESIZE] = 0;
    trace_int(t, "height", lf->lfHeight);
    trace_int(t, "width", lf->lfWidth);
    trace_int(t, "weight", lf->lfWeight);
    trace_int(t, "underline", lf->lfUnderline);
    trace_int(t, "charSet", lf->lfCharSet);
    trace_int(t, "pitchAndFamily", lf->lfPitchAndFamily);
    trace_str(t, "faceName", face);
}

// The selected font of a device context, realised for its resolution; null when none.
FontObject *selected_font(DeviceContext *dc) {
    FontObject *font = dc ? font_from(dc->font) : nullptr;
    return font && font_realize(font, dc->page.dpi) ? font : nullptr;
}

}  // namespace

// A logical font; it is matched to a face when first used. Null for a null description.
HFONT WINAPI CreateFontIndirectA(const LOGFONTA *lf) {
    TraceLine t;
    trace_begin(&t, "CreateFontIndirectA");
    if (!lf) return (HFONT)trace_end_handle(&t, nullptr);
    trace_logfont(&t, lf);
    return (HFONT)trace_end_handle(&t, handle_to<HFONT>(font_create(lf)));
}

// Selects a font into a device context; result: the previous font, null on failure.
HGDIOBJ WINAPI SelectObject(HDC hdc, HGDIOBJ object) {
    TraceLine t;
    trace_begin(&t, "SelectObject");
    trace_handle(&t, "hdc", hdc);
    trace_handle(&t, "obj", object);
    DeviceContext *dc = dc_from(hdc);
    int handle = handle_of(object);
    FontObject *font = font_from(handle);
    if (!dc || !font) return (HGDIOBJ)trace_end_handle(&t, nullptr);
    int previous = dc->font;
    FontObject *old = font_from(previous);
    if (old) old->selections--;
    font->selections++;
    dc->font = handle;
    return (HGDIOBJ)trace_end_handle(&t, handle_to<HGDIOBJ>(previous));
}

// Deletes a font. A font still selected into a device context, or a context's own default
// font, is kept and the call fails, so no context is left drawing with a freed font.
BOOL WINAPI DeleteObject(HGDIOBJ object) {
    TraceLine t;
    trace_begin(&t, "DeleteObject");
    trace_handle(&t, "obj", object);
    int handle = handle_of(object);
    FontObject *font = font_from(handle);
    if (!font || font->selections > 0 || font->dc_default) return (BOOL)trace_end(&t, FALSE);
    font_destroy(handle);
    return (BOOL)trace_end(&t, TRUE);
}

// Metrics of the selected font as the device realises it; FALSE without a font or face.
BOOL WINAPI GetTextMetricsA(HDC hdc, LPTEXTMETRICA metrics) {
    TraceLine t;
    trace_begin(&t, "GetTextMetricsA");
    FontObject *font = selected_font(dc_from(hdc));
    if (!font || !metrics) return (BOOL)trace_end(&t, FALSE);
    *metrics = font->tm;
    const TEXTMETRICA &tm = font->tm;
    trace_int(&t, "height", tm.tmHeight);
    trace_int(&t, "ascent", tm.tmAscent);
    trace_int(&t, "descent", tm.tmDescent);
    trace_int(&t, "internalLeading", tm.tmInternalLeading);
    trace_int(&t, "externalLeading", tm.tmExternalLeading);
    trace_int(&t, "aveCharWidth", tm.tmAveCharWidth);
    trace_int(&t, "maxCharWidth", tm.tmMaxCharWidth);
    trace_int(&t, "weight", tm.tmWeight);
    trace_int(&t, "pitchAndFamily", tm.tmPitchAndFamily);
    return (BOOL)trace_end(&t, TRUE);
}

// Copies the selected font's face name, cut to size - 1; result: the bytes copied with the
// terminator (the length needed when `face` is null), 0 on failure.
int WINAPI GetTextFaceA(HDC hdc, int size, LPSTR face) {
    TraceLine t;
    trace_begin(&t, "GetTextFaceA");
    FontObject *font = selected_font(dc_from(hdc));
    if (!font) return (int)trace_end(&t, 0);
    const char *name = font->face_name;
    int length = (int)strlen(name);
    trace_str(&t, "face", name);
    if (!face) return (int)trace_end(&t, length + 1);
    if (size <= 0) return (int)trace_end(&t, 0);
    int n = length < size - 1 ? length : size - 1;
    memcpy(face, name, (size_t)n);
    face[n] = 0;
    return (int)trace_end(&t, n + 1);
}
