// Seams inside the terminal dialog manager between the windows, the message queue and the
// dialogs.
#pragma once

#include "platform/windows_services.h"
#include "user/window_table.h"

// Puts a message at the end of the thread's queue. Result: false when the queue is full.
bool queue_post(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
// Drops queued messages for `handle` (a window being removed).
void queue_forget(int handle);

// Tells the dialog side that a window's text changed, so a status line can be redrawn.
void dialog_text_changed(Window *w);
// Tells the dialog side that a dialog is going away (before its record is freed).
void dialog_removed(Window *dialog);
// The modeless dialog the terminal shows (the newest one that exists), or nullptr.
Window *dialog_on_terminal();
// Queues the click of the modeless dialog's Cancel button: WM_COMMAND with IDCANCEL.
// Result: false when no modeless dialog exists.
bool dialog_queue_cancel();
// Calls a dialog's procedure; 0 when it has none.
INT_PTR dialog_call(Window *dialog, UINT message, WPARAM wparam, LPARAM lparam);

// Handles one message of a window: texts, list box lines, button clicks; a dialog's
// messages go to its procedure. The common work of SendMessageA and DispatchMessageA.
LRESULT window_handle_message(Window *w, UINT message, WPARAM wparam, LPARAM lparam);
// What IsDialogMessageA does for a message that belongs to `dialog` or one of its controls:
// Esc becomes IDCANCEL, Enter the default button's command, other messages are handled by
// their window. Result: false when the message belongs to another window.
bool dialog_take_message(Window *dialog, const MSG *msg);
// Removes the first queued message for `dialog` or one of its controls into *out.
bool queue_take_for(int dialog, MSG *out);
// The id of a dialog's default push button (IDOK when it has none) and its window.
int dialog_default_button(Window *dialog, HWND *button);
// Makes the terminal show a new modeless dialog and catch Ctrl-C for it.
void dialog_modeless_added(Window *dialog);
// Prints the lines of a dialog's list boxes to stdout, one per line.
void dialog_print_lists(Window *dialog);
