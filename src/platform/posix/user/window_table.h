// Windows of the terminal dialog manager: dialogs and their controls.
//
// A window is a record in the layer's handle table (HK_WINDOW). It keeps its text, so that
// what a dialog would show can be read back; a list box keeps its lines in the order they
// were added. Nothing is drawn here: the terminal rendering lives with the dialogs.
#pragma once

#include <cstdint>

#include "platform/windows_services.h"

enum WindowKind { WK_DIALOG, WK_BUTTON, WK_STATIC, WK_LIST_BOX, WK_OTHER };

const int WINDOW_TEXT_SIZE = 512;  // texts are cut to 511 bytes
const int DIALOG_CONTROL_LIMIT = 16;
const int LIST_BOX_LINE_SIZE = 256;    // a line holds 255 bytes; longer ones are cut
const int LIST_BOX_LINE_LIMIT = 1024;  // LB_ADDSTRING answers LB_ERRSPACE beyond

struct ListBoxLines {
    int count;
    char text[LIST_BOX_LINE_LIMIT][LIST_BOX_LINE_SIZE];
};

struct Window {
    int handle;
    WindowKind kind;
    int parent;  // the dialog of a control, 0 for a dialog
    int owner;   // the owner window of a dialog, 0 for none
    int id;      // a control's id
    uint32_t style;
    char text[WINDOW_TEXT_SIZE];
    // Dialogs.
    DLGPROC proc;
    bool modal;
    bool ended;
    INT_PTR result;
    int control_count;
    int controls[DIALOG_CONTROL_LIMIT];
    // List boxes.
    ListBoxLines *lines;
};

// Makes a window record under a new handle. Result: the record, or nullptr when the handle
// table is full or memory runs out.
Window *window_create(WindowKind kind, int parent, int id, uint32_t style, const char *text);
// The live window behind `window`, or nullptr for a stale or foreign handle.
Window *window_find(HWND window);
Window *window_from_handle(int handle);
HWND window_hwnd(const Window *w);
// The control of dialog `dialog` with `id`, or nullptr.
Window *window_control(const Window *dialog, int id);
// The dialog a window belongs to: itself for a dialog, its parent for a control.
Window *window_dialog_of(Window *w);
// Replaces a window's text (cut to fit).
void window_set_text(Window *w, const char *text);
// Removes a window, its controls and their queued messages, and releases the handles.
void window_remove(Window *w);
// The window with the keyboard focus, 0 when none.
int window_focus();
void window_set_focus(int handle);
