// Modeless dialogs on the terminal: the status line, Ctrl-C and the Cancel fault knob.
//
// The newest modeless dialog that exists is the one the terminal shows: its caption and the
// text of its control 100 form one status line on stderr. While any modeless dialog exists
// Ctrl-C is its Cancel button.
#include <cstdio>

#include "core/hooks.h"
#include "core/trace.h"
#include "platform/windows_services.h"
#include "user/dialog_manager.h"
#include "user/terminal_ui.h"
#include "user/window_styles.h"

namespace {

const int STATUS_TEXT_ID = 100;  // the control whose text the status line shows
const int MODELESS_LIMIT = 16;

int modeless[MODELESS_LIMIT];  // handles, oldest first
int modeless_count = 0;

// The text a status line shows: control 100, or the first static text when there is none.
const char *status_text(Window *dialog) {
    Window *c = window_control(dialog, STATUS_TEXT_ID);
    for (int i = 0; !c && i < dialog->control_count; i++) {
        Window *w = window_from_handle(dialog->controls[i]);
        if (w && w->kind == WK_STATIC) c = w;
    }
    return c ? c->text : "";
}

void draw(Window *dialog) {
    if (dialog && (dialog->style & WS_VISIBLE))
        terminal_status_show(dialog->text, status_text(dialog));
}

}  // namespace

Window *dialog_on_terminal() {
    for (int i = modeless_count - 1; i >= 0; i--) {
        Window *w = window_from_handle(modeless[i]);
        if (w) return w;
    }
    return nullptr;
}

void dialog_modeless_added(Window *dialog) {
    if (modeless_count >= MODELESS_LIMIT) return;  // still works; only not on the terminal
    modeless[modeless_count++] = dialog->handle;
    terminal_interrupt_install();
}

void dialog_removed(Window *dialog) {
    bool shown = dialog_on_terminal() == dialog;
    int kept = 0;
    for (int i = 0; i < modeless_count; i++)
        if (modeless[i] != dialog->handle) modeless[kept++] = modeless[i];
    if (kept == modeless_count) return;  // not a modeless dialog
    modeless_count = kept;
    if (shown) {
        terminal_status_clear();
        draw(dialog_on_terminal());
    }
    if (modeless_count == 0) terminal_interrupt_remove();
}

void dialog_text_changed(Window *w) {
    Window *dialog = window_dialog_of(w);
    if (dialog && dialog == dialog_on_terminal()) draw(dialog);
}

bool dialog_queue_cancel() {
    Window *dialog = dialog_on_terminal();
    if (!dialog) return false;
    Window *cancel = window_control(dialog, IDCANCEL);
    return queue_post(window_hwnd(dialog), WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED),
                      (LPARAM)window_hwnd(cancel));
}

void dialog_print_lists(Window *dialog) {
    for (int i = 0; i < dialog->control_count; i++) {
        Window *c = window_from_handle(dialog->controls[i]);
        if (!c || c->kind != WK_LIST_BOX) continue;
        for (int n = 0; n < c->lines->count; n++) printf("%s\n", c->lines->text[n]);
    }
    fflush(stdout);
}

// "Cancel#n=1": the user presses Cancel while page n prints. The click is queued right after
// the n-th StartPage, and the abort procedure finds it at its next call. Without a modeless
// dialog there is no button to press, and nothing happens.
void hook_after_start_page(HDC) {
    long long press;
    if (fault_check("Cancel", &press) && press != 0) dialog_queue_cancel();
}
