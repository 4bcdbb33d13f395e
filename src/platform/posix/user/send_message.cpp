// Messages sent to windows and the dialog keyboard: SendMessageA and IsDialogMessageA.
#include <cstdio>
#include <cstring>

#include "core/handles.h"
#include "core/trace.h"
#include "platform/windows_services.h"
#include "user/dialog_manager.h"
#include "user/window_styles.h"

namespace {

const UINT BM_CLICK_MESSAGE = 0x00F5;  // BM_CLICK

// LB_ADDSTRING: appends at the end (the list never sorts). Result: the new line's index, or
// LB_ERRSPACE when the list is full. A line longer than 255 bytes is cut.
LRESULT list_add(Window *w, const char *text) {
    ListBoxLines *lines = w->lines;
    if (lines->count >= LIST_BOX_LINE_LIMIT) return LB_ERRSPACE;
    snprintf(lines->text[lines->count], LIST_BOX_LINE_SIZE, "%s", text ? text : "");
    return lines->count++;
}

LRESULT list_message(Window *w, UINT message, WPARAM wparam, LPARAM lparam) {
    ListBoxLines *lines = w->lines;
    bool valid = wparam < (WPARAM)lines->count;
    switch (message) {
        case LB_ADDSTRING:
            return list_add(w, (const char *)lparam);
        case LB_GETCOUNT:
            return lines->count;
        case LB_GETTEXTLEN:
            return valid ? (LRESULT)strlen(lines->text[wparam]) : LB_ERR;
        case LB_GETTEXT:
            // The caller's buffer must hold the line, as LB_GETTEXTLEN tells.
            if (!valid || !lparam) return LB_ERR;
            strcpy((char *)lparam, lines->text[wparam]);
            return (LRESULT)strlen(lines->text[wparam]);
        default:
            return 0;
    }
}

bool is_key(const MSG *msg, WPARAM key) { return msg->message == WM_KEYDOWN && msg->wParam == key; }

}  // namespace

LRESULT window_handle_message(Window *w, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message == WM_SETTEXT) {
        window_set_text(w, (const char *)lparam);
        dialog_text_changed(w);
        return TRUE;
    }
    if (message == WM_GETTEXT) {
        if (!lparam || wparam == 0) return 0;
        int n = snprintf((char *)lparam, wparam, "%s", w->text);
        return n < 0 ? 0 : ((WPARAM)n < wparam ? n : (LRESULT)wparam - 1);
    }
    if (w->kind == WK_DIALOG) return dialog_call(w, message, wparam, lparam);
    if (w->kind == WK_LIST_BOX) return list_message(w, message, wparam, lparam);
    if (w->kind == WK_BUTTON && message == BM_CLICK_MESSAGE) {
        Window *dialog = window_from_handle(w->parent);
        if (dialog)
            dialog_call(dialog, WM_COMMAND, MAKEWPARAM(w->id, BN_CLICKED), (LPARAM)window_hwnd(w));
    }
    return 0;
}

// Result: what the window answers; 0 for a stale handle.
LRESULT WINAPI SendMessageA(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    TraceLine t;
    trace_begin(&t, "SendMessageA");
    trace_int(&t, "msg", message);
    if (message == LB_ADDSTRING) trace_str(&t, "text", (const char *)lparam);
    Window *w = window_find(window);
    if (!w) return (LRESULT)trace_end(&t, 0);
    return (LRESULT)trace_end(&t, window_handle_message(w, message, wparam, lparam));
}

int dialog_default_button(Window *dialog, HWND *button) {
    for (int i = 0; i < dialog->control_count; i++) {
        Window *c = window_from_handle(dialog->controls[i]);
        if (c && c->kind == WK_BUTTON && (c->style & BS_TYPEMASK) == BS_DEFPUSHBUTTON) {
            *button = window_hwnd(c);
            return c->id;
        }
    }
    *button = nullptr;
    return IDOK;
}

bool dialog_take_message(Window *dialog, const MSG *msg) {
    Window *target = window_from_handle(handle_of(msg->hwnd));
    if (!target || window_dialog_of(target) != dialog) return false;
    if (is_key(msg, VK_ESCAPE)) {
        Window *cancel = window_control(dialog, IDCANCEL);
        dialog_call(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED),
                    (LPARAM)window_hwnd(cancel));
    } else if (is_key(msg, VK_RETURN)) {
        HWND button;
        int id = dialog_default_button(dialog, &button);
        dialog_call(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), (LPARAM)button);
    } else if (msg->message != WM_KEYDOWN && msg->message != WM_KEYUP && msg->message != WM_CHAR) {
        window_handle_message(target, msg->message, msg->wParam, msg->lParam);
    }
    return true;
}

// TRUE when the message belongs to `dialog` (or one of its controls) and was handled here.
BOOL WINAPI IsDialogMessageA(HWND dialog, LPMSG msg) {
    TraceLine t;
    trace_begin(&t, "IsDialogMessageA");
    if (msg) trace_int(&t, "msg", msg->message);
    Window *d = window_find(dialog);
    bool taken = d && d->kind == WK_DIALOG && msg && dialog_take_message(d, msg);
    return (BOOL)trace_end(&t, taken ? TRUE : FALSE);
}
