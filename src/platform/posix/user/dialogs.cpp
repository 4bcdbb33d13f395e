// Dialogs from templates: DialogBoxParamA, CreateDialogParamA, EndDialog.
//
// On a terminal a modal dialog cannot wait for a user who may not be there: it handles what
// is queued for it, prints the lines of its list boxes to stdout, and is then closed with its
// default button, as if the user had pressed Enter. A modeless dialog is shown as a status
// line (see dialog_terminal.cpp).
#include <strings.h>

#include "core/handles.h"
#include "core/trace.h"
#include "platform/windows_services.h"
#include "user/dialog_manager.h"
#include "user/dialog_templates.h"
#include "user/window_styles.h"

namespace {

const DWORD ERROR_RESOURCE_NAME_NOT_FOUND_CODE = 1814;  // ERROR_RESOURCE_NAME_NOT_FOUND
const DWORD ERROR_NOT_ENOUGH_MEMORY_CODE = 8;           // ERROR_NOT_ENOUGH_MEMORY

WindowKind kind_of_class(const char *name) {
    if (strcasecmp(name, "Button") == 0) return WK_BUTTON;
    if (strcasecmp(name, "Static") == 0) return WK_STATIC;
    if (strcasecmp(name, "ListBox") == 0) return WK_LIST_BOX;
    return WK_OTHER;
}

void trace_template(TraceLine *t, LPCSTR name) {
    if (IS_INTRESOURCE(name))
        trace_int(t, "template", (long long)(uintptr_t)name);
    else
        trace_str(t, "template", name);
}

// Makes the dialog and its controls from `d`. Result: the dialog, or nullptr (nothing left
// behind) when the handle table or memory runs out.
Window *build_dialog(const DialogTemplate *d, HWND owner, DLGPROC proc, bool modal) {
    Window *dialog = window_create(WK_DIALOG, 0, 0, d->style, d->caption);
    if (!dialog) return nullptr;
    dialog->owner = handle_of(owner);
    dialog->proc = proc;
    dialog->modal = modal;
    for (int i = 0; i < d->control_count && i < DIALOG_CONTROL_LIMIT; i++) {
        const ControlTemplate &c = d->controls[i];
        Window *w =
            window_create(kind_of_class(c.class_name), dialog->handle, c.id, c.style, c.text);
        if (!w) {
            window_remove(dialog);
            return nullptr;
        }
        dialog->controls[dialog->control_count++] = w->handle;
    }
    return dialog;
}

// The first control that can take the focus: visible, enabled, a tab stop.
Window *first_tab_stop(Window *dialog) {
    for (int i = 0; i < dialog->control_count; i++) {
        Window *c = window_from_handle(dialog->controls[i]);
        if (c && (c->style & WS_TABSTOP) && (c->style & WS_VISIBLE) && !(c->style & WS_DISABLED))
            return c;
    }
    return nullptr;
}

// WM_INITDIALOG reaches the procedure before the creating call returns. When it answers
// TRUE, the focus goes to the first tab stop; otherwise it stays where the procedure put it.
void initialise(Window *dialog, LPARAM param) {
    Window *first = first_tab_stop(dialog);
    int handle = dialog->handle;
    INT_PTR r = dialog_call(dialog, WM_INITDIALOG, (WPARAM)window_hwnd(first), param);
    if (r && window_from_handle(handle) && first && window_from_handle(first->handle))
        window_set_focus(first->handle);
}

// Handles what is queued for the dialog until it ends or nothing is left.
void pump(Window *dialog) {
    MSG msg;
    while (!dialog->ended && queue_take_for(dialog->handle, &msg))
        dialog_take_message(dialog, &msg);
}

// The terminal's run of a modal dialog; result: the value given to EndDialog.
INT_PTR run_modal(Window *dialog) {
    pump(dialog);
    if (!dialog->ended) dialog_print_lists(dialog);
    if (!dialog->ended) {
        HWND button;
        int id = dialog_default_button(dialog, &button);
        dialog_call(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), (LPARAM)button);
        pump(dialog);
    }
    // A procedure that ignores its default button would keep a real dialog open for ever;
    // without a user to close it, the terminal closes it as Esc would.
    return dialog->ended ? dialog->result : IDCANCEL;
}

}  // namespace

INT_PTR dialog_call(Window *dialog, UINT message, WPARAM wparam, LPARAM lparam) {
    if (!dialog || !dialog->proc) return 0;
    return dialog->proc(window_hwnd(dialog), message, wparam, lparam);
}

// Result: the dialog's EndDialog value; -1 when the template does not exist or the dialog
// cannot be made.
INT_PTR WINAPI DialogBoxParamA(HINSTANCE, LPCSTR name, HWND owner, DLGPROC proc, LPARAM param) {
    TraceLine t;
    trace_begin(&t, "DialogBoxParamA");
    trace_template(&t, name);
    const DialogTemplate *d = find_dialog_template(name);
    Window *dialog = d ? build_dialog(d, owner, proc, true) : nullptr;
    if (!dialog) {
        SetLastError(d ? ERROR_NOT_ENOUGH_MEMORY_CODE : ERROR_RESOURCE_NAME_NOT_FOUND_CODE);
        return (INT_PTR)trace_end(&t, -1);
    }
    int handle = dialog->handle;
    initialise(dialog, param);
    dialog = window_from_handle(handle);  // the procedure may have destroyed it
    INT_PTR result = dialog ? run_modal(dialog) : IDCANCEL;
    if (dialog) {
        dialog_call(dialog, WM_DESTROY, 0, 0);
        window_remove(window_from_handle(handle));
    }
    return (INT_PTR)trace_end(&t, result);
}

// Result: the modeless dialog, already initialised; null when the template does not exist.
HWND WINAPI CreateDialogParamA(HINSTANCE, LPCSTR name, HWND owner, DLGPROC proc, LPARAM param) {
    TraceLine t;
    trace_begin(&t, "CreateDialogParamA");
    trace_template(&t, name);
    const DialogTemplate *d = find_dialog_template(name);
    Window *dialog = d ? build_dialog(d, owner, proc, false) : nullptr;
    if (!dialog) {
        SetLastError(d ? ERROR_NOT_ENOUGH_MEMORY_CODE : ERROR_RESOURCE_NAME_NOT_FOUND_CODE);
        return (HWND)trace_end_handle(&t, nullptr);
    }
    int handle = dialog->handle;
    dialog_modeless_added(dialog);
    initialise(dialog, param);
    dialog = window_from_handle(handle);
    if (dialog) dialog_text_changed(dialog);  // draws the status line with the new texts
    return (HWND)trace_end_handle(&t, window_hwnd(dialog));
}

// Ends a modal dialog with `result` once its procedure returns; a modeless dialog is only
// marked (it goes when it is destroyed). FALSE for anything but a dialog.
BOOL WINAPI EndDialog(HWND window, INT_PTR result) {
    TraceLine t;
    trace_begin(&t, "EndDialog");
    trace_int(&t, "result", result);
    Window *dialog = window_find(window);
    if (!dialog || dialog->kind != WK_DIALOG) return (BOOL)trace_end(&t, FALSE);
    dialog->ended = true;
    dialog->result = result;
    return (BOOL)trace_end(&t, TRUE);
}
