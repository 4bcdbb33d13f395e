// Window records of the terminal dialog manager: see window_table.h.
#include "user/window_table.h"

#include <cstdio>
#include <cstring>
#include <new>

#include "core/handles.h"
#include "user/dialog_manager.h"

namespace {

int focus_handle = 0;

}  // namespace

Window *window_create(WindowKind kind, int parent, int id, uint32_t style, const char *text) {
    Window *w = new (std::nothrow) Window();
    if (!w) return nullptr;
    if (kind == WK_LIST_BOX) {
        w->lines = new (std::nothrow) ListBoxLines();
        if (!w->lines) {
            delete w;
            return nullptr;
        }
    }
    w->handle = handle_alloc(HK_WINDOW, w);
    if (w->handle == 0) {
        delete w->lines;
        delete w;
        return nullptr;
    }
    w->kind = kind;
    w->parent = parent;
    w->id = id;
    w->style = style;
    window_set_text(w, text);
    return w;
}

Window *window_from_handle(int handle) {
    return static_cast<Window *>(handle_get(handle, HK_WINDOW));
}

Window *window_find(HWND window) { return window_from_handle(handle_of(window)); }

HWND window_hwnd(const Window *w) { return w ? handle_to<HWND>(w->handle) : nullptr; }

Window *window_control(const Window *dialog, int id) {
    if (!dialog || dialog->kind != WK_DIALOG) return nullptr;
    for (int i = 0; i < dialog->control_count; i++) {
        Window *c = window_from_handle(dialog->controls[i]);
        if (c && c->id == id) return c;
    }
    return nullptr;
}

Window *window_dialog_of(Window *w) {
    if (!w) return nullptr;
    return w->kind == WK_DIALOG ? w : window_from_handle(w->parent);
}

void window_set_text(Window *w, const char *text) {
    snprintf(w->text, sizeof w->text, "%s", text ? text : "");
}

void window_remove(Window *w) {
    if (!w) return;
    if (w->kind == WK_DIALOG) {
        dialog_removed(w);
        for (int i = 0; i < w->control_count; i++)
            window_remove(window_from_handle(w->controls[i]));
        w->control_count = 0;
    }
    queue_forget(w->handle);
    if (focus_handle == w->handle) focus_handle = 0;
    handle_release(w->handle, HK_WINDOW);
    delete w->lines;
    delete w;
}

int window_focus() {
    if (focus_handle && !window_from_handle(focus_handle)) focus_handle = 0;
    return focus_handle;
}

void window_set_focus(int handle) { focus_handle = handle; }
