// The option help dialog's procedure, driven through the dialog manager as a modeless copy of
// template 101 so that each command can be checked on its own.
#include <gtest/gtest.h>

#include <string>

#include "job/help_dialog.h"
#include "user/window_styles.h"
#include "user/window_table.h"

namespace {

std::string list_line(HWND list, int index) {
    char line[LIST_BOX_LINE_SIZE];
    LRESULT n = SendMessageA(list, LB_GETTEXT, (WPARAM)index, (LPARAM)line);
    return n == LB_ERR ? "<none>" : std::string(line, (size_t)n);
}

struct HelpDialog {
    HWND dialog = CreateDialogParamA(nullptr, MAKEINTRESOURCEA(101), nullptr, HelpDlgProc, 0);
    ~HelpDialog() { DestroyWindow(dialog); }
    bool ended() const { return window_find(dialog)->ended; }
};

TEST(HelpDialog, InitialisationFillsTheListInStoredOrderAndFocusesIt) {
    HelpDialog help;
    ASSERT_NE(help.dialog, nullptr);
    HWND list = GetDlgItem(help.dialog, 1001);
    EXPECT_EQ(SendMessageA(list, LB_GETCOUNT, 0, 0), 83);
    EXPECT_EQ(list_line(list, 0),
              "-banner\t\tif present, print a banner page (not currently supported)");
    EXPECT_EQ(list_line(list, 4).substr(0, 13), "-disposition\t") << "9 or more letters: one tab";
    EXPECT_EQ(list_line(list, 8), "\t=\"10 by 14 sheet\"") << "paper forms follow form_id";
    EXPECT_EQ(list_line(list, 10), "\t=A3");
    EXPECT_EQ(list_line(list, 67), "\t=Upper") << "paper sources follow source";
    EXPECT_EQ(list_line(list, 82).substr(0, 6), "-raw\t\t");
    EXPECT_EQ(GetFocus(), list) << "the procedure keeps the focus on the list (result 0)";
}

TEST(HelpDialog, OnlyTheOkCommandEndsTheDialog) {
    struct Row {
        const char *note;
        UINT message;
        WPARAM wparam;
        INT_PTR result;
        bool ends;
    } rows[] = {
        {"OK button", WM_COMMAND, MAKEWPARAM(1, BN_CLICKED), 1, true},
        {"id 1 with another notification code", WM_COMMAND, MAKEWPARAM(1, 5), 1, true},
        {"Esc and the close box send IDCANCEL", WM_COMMAND, MAKEWPARAM(IDCANCEL, 0), 1, false},
        {"list box notification", WM_COMMAND, MAKEWPARAM(1001, 1), 1, false},
        {"not a command", WM_CLOSE, 0, 0, false},
    };
    for (const Row &row : rows) {
        HelpDialog help;
        INT_PTR got = HelpDlgProc(help.dialog, row.message, row.wparam, 0);
        EXPECT_EQ(got, row.result) << row.note;
        EXPECT_EQ(help.ended(), row.ends) << row.note;
        if (row.ends) {
            EXPECT_EQ(window_find(help.dialog)->result, 1) << row.note;
        }
    }
}

TEST(HelpDialog, EnterClosesAndEscapeDoesNot) {
    struct Row {
        const char *note;
        WPARAM key;
        bool ends;
    } rows[] = {{"Enter presses the default OK button", VK_RETURN, true},
                {"Esc leaves the dialog open", VK_ESCAPE, false}};
    for (const Row &row : rows) {
        HelpDialog help;
        PostMessageA(GetDlgItem(help.dialog, 1001), WM_KEYDOWN, row.key, 0);
        MSG msg;
        ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) << row.note;
        EXPECT_TRUE(IsDialogMessageA(help.dialog, &msg)) << row.note;
        EXPECT_EQ(help.ended(), row.ends) << row.note;
    }
}

}  // namespace
