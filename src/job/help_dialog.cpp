// The option help dialog (template 101): every option with its description, in the table's
// stored order, and under form_id and source the paper names those options accept.
#include "job/help_dialog.h"

#include <cstdio>
#include <cstring>

#include "job/options.h"
#include "printer/paper_tables.h"

namespace {

const int HELP_LIST_ID = 1001;
const int HELP_OK_ID = 1;
const int CODE_FORM_ID = 14;  // the form_id option lists the paper forms
const int CODE_SOURCE = 24;   // the source option lists the paper sources
const size_t HELP_LINE_SIZE = 256;

// "-name", one tab after a long name and two after a short one, so the descriptions line up
// at the list box's tab stops. A line is cut at 255 characters (the tables stay far below).
void AddOptionLine(HWND list, const OptionEntry *row) {
    char line[HELP_LINE_SIZE];
    const char *tabs = strlen(row->name) <= 8 ? "\t\t" : "\t";
    snprintf(line, sizeof line, "-%.*s%s%s", (int)sizeof row->name, row->name, tabs,
             row->description ? row->description : "");
    SendMessageA(list, LB_ADDSTRING, 0, (LPARAM)line);
}

// "\t=name", with the name in double quotes when it holds a space, as the option wants it.
void AddPaperLine(HWND list, const char *name) {
    char line[HELP_LINE_SIZE];
    snprintf(line, sizeof line, strchr(name, ' ') ? "\t=\"%s\"" : "\t=%s", name);
    SendMessageA(list, LB_ADDSTRING, 0, (LPARAM)line);
}

// Fills the list box in stored order; the list box does not sort, so the paper names stay
// under their option.
void FillHelpList(HWND dialog) {
    HWND list = GetDlgItem(dialog, HELP_LIST_ID);
    for (int i = 0; i < OPTION_COUNT; i++) {
        const OptionEntry *row = &option_table[i];
        AddOptionLine(list, row);
        if (row->code == CODE_FORM_ID)
            for (const PaperForm *form = paper_forms; form->name; form++)
                AddPaperLine(list, form->name);
        if (row->code == CODE_SOURCE)
            for (const PaperSource *bin = paper_sources; bin->name; bin++)
                AddPaperLine(list, bin->name);
    }
    SetFocus(list);
}

}  // namespace

// WM_INITDIALOG fills the list and keeps the focus on it (result 0). Only the OK command
// (the button or Enter) ends the dialog; every command counts as handled, so Esc and the
// close box leave it open.
INT_PTR CALLBACK HelpDlgProc(HWND window, UINT message, WPARAM wparam, LPARAM) {
    switch (message) {
        case WM_INITDIALOG:
            FillHelpList(window);
            return 0;
        case WM_COMMAND:
            if (LOWORD(wparam) == HELP_OK_ID) EndDialog(window, 1);
            return 1;
        default:
            return 0;
    }
}
