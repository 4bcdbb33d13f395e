// TextOutA, MoveToEx, LineTo and SetBkMode: drawing on the open page.
#include "core/trace.h"
#include "gdi/abort_check.h"
#include "platform/windows_services.h"

namespace {

// The context when a page is open and the abort procedure lets the drawing go on, else null.
DeviceContext *drawable(HDC hdc) {
    DeviceContext *dc = dc_from(hdc);
    if (!dc || dc->doc != DOC_OPEN || !dc->page_open) return nullptr;
    if (!abort_check_drawing(hdc)) return nullptr;
    dc = dc_from(hdc);
    return dc && dc->doc == DOC_OPEN && dc->page_open ? dc : nullptr;
}

}  // namespace

// Draws `count` Windows-1252 bytes from the cell's top left at (x, y) in the selected font.
// FALSE when no page is open, the job was aborted, or the font cannot be drawn.
BOOL WINAPI TextOutA(HDC hdc, int x, int y, LPCSTR text, int count) {
    TraceLine t;
    trace_begin(&t, "TextOutA");
    trace_int(&t, "x", x);
    trace_int(&t, "y", y);
    trace_bytes(&t, "text", text, text && count > 0 ? (size_t)count : 0);
    trace_int(&t, "count", count);
    if (count < 0 || (count > 0 && !text)) return (BOOL)trace_end(&t, FALSE);
    DeviceContext *dc = drawable(hdc);
    if (!dc) return (BOOL)trace_end(&t, FALSE);
    if (count == 0) return (BOOL)trace_end(&t, TRUE);
    bool ok = dc->ops->text(dc, x, y, (const unsigned char *)text, count);
    return (BOOL)trace_end(&t, ok ? TRUE : FALSE);
}

// Moves the current position; the old one goes to *previous when asked.
BOOL WINAPI MoveToEx(HDC hdc, int x, int y, LPPOINT previous) {
    TraceLine t;
    trace_begin(&t, "MoveToEx");
    trace_int(&t, "x", x);
    trace_int(&t, "y", y);
    DeviceContext *dc = dc_from(hdc);
    if (!dc) return (BOOL)trace_end(&t, FALSE);
    if (previous) {
        previous->x = dc->pos_x;
        previous->y = dc->pos_y;
    }
    dc->pos_x = x;
    dc->pos_y = y;
    return (BOOL)trace_end(&t, TRUE);
}

// Draws a black line one device unit wide from the current position to (x, y), which becomes
// the current position. FALSE when nothing could be drawn.
BOOL WINAPI LineTo(HDC hdc, int x, int y) {
    TraceLine t;
    trace_begin(&t, "LineTo");
    trace_int(&t, "x", x);
    trace_int(&t, "y", y);
    DeviceContext *dc = dc_from(hdc);
    if (!dc) return (BOOL)trace_end(&t, FALSE);
    int x0 = dc->pos_x, y0 = dc->pos_y;
    dc->pos_x = x;
    dc->pos_y = y;
    dc = drawable(hdc);
    if (!dc) return (BOOL)trace_end(&t, FALSE);
    return (BOOL)trace_end(&t, dc->ops->line(dc, x0, y0, x, y) ? TRUE : FALSE);
}

// Sets the background mode (TRANSPARENT or OPAQUE); result the previous mode, 0 on failure.
// Pages start white and text cells are not filled, so both modes draw alike.
int WINAPI SetBkMode(HDC hdc, int mode) {
    TraceLine t;
    trace_begin(&t, "SetBkMode");
    trace_int(&t, "mode", mode);
    DeviceContext *dc = dc_from(hdc);
    if (!dc || (mode != TRANSPARENT && mode != OPAQUE)) return (int)trace_end(&t, 0);
    int previous = dc->bk_mode;
    dc->bk_mode = mode;
    return (int)trace_end(&t, previous);
}
