// The window calls of the terminal dialog manager: texts, controls, focus and removal.
#include <cstdio>
#include <cstring>

#include "core/trace.h"
#include "platform/windows_services.h"
#include "user/dialog_manager.h"
#include "user/window_table.h"

namespace {

const DWORD ERROR_INVALID_WINDOW_HANDLE_CODE = 1400;  // ERROR_INVALID_WINDOW_HANDLE
const DWORD ERROR_CONTROL_ID_NOT_FOUND_CODE = 1421;   // ERROR_CONTROL_ID_NOT_FOUND

// Copies a window's text into the caller's buffer of `size` bytes, cut to fit. Result: the
// count of bytes copied without the terminator.
int copy_text(const Window *w, char *out, int size) {
    if (!out || size <= 0) return 0;
    int n = snprintf(out, (size_t)size, "%s", w ? w->text : "");
    if (n < 0) return 0;
    return n < size ? n : size - 1;
}

}  // namespace

// The control `id` of `dialog`; null (and the last error) when there is no such control.
HWND WINAPI GetDlgItem(HWND dialog, int id) {
    TraceLine t;
    trace_begin(&t, "GetDlgItem");
    trace_int(&t, "id", id);
    Window *d = window_find(dialog);
    Window *c = window_control(d, id);
    if (!c) SetLastError(d ? ERROR_CONTROL_ID_NOT_FOUND_CODE : ERROR_INVALID_WINDOW_HANDLE_CODE);
    return (HWND)trace_end_handle(&t, window_hwnd(c));
}

// Replaces the text of a dialog (its caption) or of a control. FALSE for a stale handle.
BOOL WINAPI SetWindowTextA(HWND window, LPCSTR text) {
    TraceLine t;
    trace_begin(&t, "SetWindowTextA");
    trace_str(&t, "text", text);
    Window *w = window_find(window);
    if (!w) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE_CODE);
        return (BOOL)trace_end(&t, FALSE);
    }
    window_set_text(w, text);
    dialog_text_changed(w);
    return (BOOL)trace_end(&t, TRUE);
}

// Result: the length of the copied text; 0 for a stale handle or an empty text.
int WINAPI GetWindowTextA(HWND window, LPSTR text, int size) {
    TraceLine t;
    trace_begin(&t, "GetWindowTextA");
    Window *w = window_find(window);
    if (!w) {
        if (text && size > 0) text[0] = '\0';
        SetLastError(ERROR_INVALID_WINDOW_HANDLE_CODE);
        return (int)trace_end(&t, 0);
    }
    int n = copy_text(w, text, size);
    trace_str(&t, "text", text && size > 0 ? text : nullptr);
    return (int)trace_end(&t, n);
}

BOOL WINAPI SetDlgItemTextA(HWND dialog, int id, LPCSTR text) {
    TraceLine t;
    trace_begin(&t, "SetDlgItemTextA");
    trace_int(&t, "id", id);
    trace_str(&t, "text", text);
    Window *d = window_find(dialog);
    Window *c = window_control(d, id);
    if (!c) {
        SetLastError(d ? ERROR_CONTROL_ID_NOT_FOUND_CODE : ERROR_INVALID_WINDOW_HANDLE_CODE);
        return (BOOL)trace_end(&t, FALSE);
    }
    window_set_text(c, text);
    dialog_text_changed(c);
    return (BOOL)trace_end(&t, TRUE);
}

UINT WINAPI GetDlgItemTextA(HWND dialog, int id, LPSTR text, int size) {
    TraceLine t;
    trace_begin(&t, "GetDlgItemTextA");
    trace_int(&t, "id", id);
    Window *c = window_control(window_find(dialog), id);
    if (!c && text && size > 0) text[0] = '\0';
    int n = c ? copy_text(c, text, size) : 0;
    trace_str(&t, "text", text && size > 0 ? text : nullptr);
    return (UINT)trace_end(&t, n);
}

// Gives the keyboard focus to a live window (null takes it away). Result: the window that
// had it before, null when none.
HWND WINAPI SetFocus(HWND window) {
    TraceLine t;
    trace_begin(&t, "SetFocus");
    trace_handle(&t, "window", window);
    Window *w = window_find(window);
    HWND before = window_hwnd(window_from_handle(window_focus()));
    if (window && !w) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE_CODE);
        return (HWND)trace_end_handle(&t, nullptr);
    }
    window_set_focus(w ? w->handle : 0);
    return (HWND)trace_end_handle(&t, before);
}

// The window with the keyboard focus; null when the program has none (as at start-up).
HWND WINAPI GetFocus(void) {
    TraceLine t;
    trace_begin(&t, "GetFocus");
    return (HWND)trace_end_handle(&t, window_hwnd(window_from_handle(window_focus())));
}

// Removes a dialog with its controls (the dialog procedure sees WM_DESTROY first), or one
// control. FALSE for a stale handle.
BOOL WINAPI DestroyWindow(HWND window) {
    TraceLine t;
    trace_begin(&t, "DestroyWindow");
    Window *w = window_find(window);
    if (!w) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE_CODE);
        return (BOOL)trace_end(&t, FALSE);
    }
    if (w->kind == WK_DIALOG) {
        dialog_call(w, WM_DESTROY, 0, 0);
        w = window_find(window);  // the procedure may have destroyed it itself
        if (!w) return (BOOL)trace_end(&t, TRUE);
    }
    Window *dialog = window_from_handle(w->parent);
    if (dialog) {  // a control leaves its dialog's list
        int kept = 0;
        for (int i = 0; i < dialog->control_count; i++)
            if (dialog->controls[i] != w->handle) dialog->controls[kept++] = dialog->controls[i];
        dialog->control_count = kept;
    }
    window_remove(w);
    return (BOOL)trace_end(&t, TRUE);
}
