// The terminal dialog manager's own rules: a modal dialog never waits, list boxes keep their
// order, the queue is filtered and never blocks, and nothing outlives its window.
#include <fcntl.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <string>

#include "support/test_support.h"
#include "user/window_styles.h"
#include "user/window_table.h"

namespace {

// A dialog procedure that fills the list of template 101 with fixed lines (unsorted) and
// records the commands it gets; it ends the dialog with 7 on its default button.
int commands_seen = 0;
INT_PTR CALLBACK ListProc(HWND dialog, UINT message, WPARAM wparam, LPARAM) {
    if (message == WM_INITDIALOG) {
        HWND list = GetDlgItem(dialog, 1001);
        for (const char *line : {"zebra\tz", "apple", "\t=\"two words\""})
            SendMessageA(list, LB_ADDSTRING, 0, (LPARAM)line);
        return TRUE;
    }
    if (message == WM_COMMAND) {
        commands_seen++;
        if (LOWORD(wparam) == 1) EndDialog(dialog, 7);
        return TRUE;
    }
    return FALSE;
}

INT_PTR CALLBACK StubbornProc(HWND, UINT, WPARAM, LPARAM) { return TRUE; }

// Runs `body` with stdout into a file; returns what it printed.
template <typename F>
std::string capture_stdout(const std::string &dir, F body) {
    std::string path = dir + "/stdout.txt";
    fflush(stdout);
    int saved = dup(1), file = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    dup2(file, 1);
    body();
    fflush(stdout);
    dup2(saved, 1);
    close(saved);
    close(file);
    return read_file(path);
}

TEST(DialogManager, ModalDialogPrintsItsListAndEndsWithTheDefaultButton) {
    std::string dir = test_dir("dialog_manager_modal");
    INT_PTR result = 0;
    commands_seen = 0;
    std::string out = capture_stdout(dir, [&] {
        result = DialogBoxParamA(nullptr, MAKEINTRESOURCEA(101), nullptr, ListProc, 0);
    });
    EXPECT_EQ(out, "zebra\tz\napple\n\t=\"two words\"\n") << "added order, tabs kept";
    EXPECT_EQ(result, 7);
    EXPECT_EQ(commands_seen, 1);

    out = capture_stdout(dir, [&] {
        result = DialogBoxParamA(nullptr, MAKEINTRESOURCEA(101), nullptr, StubbornProc, 0);
    });
    EXPECT_EQ(result, IDCANCEL) << "a dialog that never ends is closed, not waited for";
    EXPECT_EQ(DialogBoxParamA(nullptr, MAKEINTRESOURCEA(999), nullptr, ListProc, 0), -1);
    EXPECT_EQ(CreateDialogParamA(nullptr, "NoSuchDialog", nullptr, ListProc, 0), nullptr);
}

TEST(DialogManager, ListBoxAppendsAndCutsLongLines) {
    HWND dialog = CreateDialogParamA(nullptr, MAKEINTRESOURCEA(101), nullptr, ListProc, 0);
    HWND list = GetDlgItem(dialog, 1001);
    std::string long_line(300, 'x');
    EXPECT_EQ(SendMessageA(list, LB_ADDSTRING, 0, (LPARAM)long_line.c_str()), 3) << "index";
    EXPECT_EQ(SendMessageA(list, LB_GETCOUNT, 0, 0), 4);
    EXPECT_EQ(SendMessageA(list, LB_GETTEXTLEN, 3, 0), 255) << "a line holds 255 bytes";
    char line[LIST_BOX_LINE_SIZE];
    EXPECT_EQ(SendMessageA(list, LB_GETTEXT, 1, (LPARAM)line), 5);
    EXPECT_STREQ(line, "apple");
    EXPECT_EQ(SendMessageA(list, LB_GETTEXT, 4, (LPARAM)line), LB_ERR);
    EXPECT_EQ(GetDlgItem(dialog, 4242), nullptr);
    DestroyWindow(dialog);
}

TEST(DialogManager, QueueIsFilteredNeverWaitsAndForgetsDestroyedWindows) {
    HWND a = CreateDialogParamA(nullptr, MAKEINTRESOURCEA(101), nullptr, ListProc, 0);
    HWND b = CreateDialogParamA(nullptr, MAKEINTRESOURCEA(101), nullptr, ListProc, 0);
    HWND a_list = GetDlgItem(a, 1001);
    MSG msg;
    ASSERT_FALSE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) << "empty queue: no wait";
    PostMessageA(b, WM_USER, 1, 0);
    PostMessageA(a_list, WM_USER + 2, 2, 0);
    PostMessageA(nullptr, WM_USER + 3, 3, 0);
    struct Row {
        const char *note;
        HWND filter;
        UINT first, last;
        UINT remove;
        BOOL found;
        WPARAM which;
    } rows[] = {
        {"a's filter takes its control's message", a, 0, 0, PM_NOREMOVE, TRUE, 2},
        {"range excludes", nullptr, WM_USER + 5, WM_USER + 9, PM_REMOVE, FALSE, 0},
        {"thread messages only", (HWND)(intptr_t)-1, 0, 0, PM_NOREMOVE, TRUE, 3},
        {"all windows, first in order", nullptr, 0, 0, PM_REMOVE, TRUE, 1},
    };
    for (const Row &row : rows) {
        msg = MSG{};
        EXPECT_EQ(PeekMessageA(&msg, row.filter, row.first, row.last, row.remove), row.found)
            << row.note;
        if (row.found) {
            EXPECT_EQ(msg.wParam, row.which) << row.note;
        }
    }
    DestroyWindow(a);
    EXPECT_FALSE(PostMessageA(a, WM_USER, 0, 0)) << "stale handle";
    EXPECT_FALSE(SetWindowTextA(a_list, "x")) << "controls go with their dialog";
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.wParam, 3u) << "a's queued message went with a";
    EXPECT_FALSE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
    DestroyWindow(b);
}

TEST(DialogManager, WindowsKeepTheirTexts) {
    HWND dialog = CreateDialogParamA(nullptr, "AbrtDlg", nullptr, StubbornProc, 0);
    char text[600];
    EXPECT_EQ(GetDlgItemTextA(dialog, 100, text, sizeof text), 11u);
    EXPECT_STREQ(text, "Printing...");
    EXPECT_EQ(GetWindowTextA(dialog, text, 5), 4) << "cut to the buffer";
    EXPECT_STREQ(text, "Spoo");
    std::string long_text(700, 'y');
    EXPECT_TRUE(SetDlgItemTextA(dialog, 100, long_text.c_str()));
    EXPECT_EQ(GetDlgItemTextA(dialog, 100, text, sizeof text), 511u) << "kept up to 511 bytes";
    EXPECT_FALSE(SetDlgItemTextA(dialog, 555, "no such control"));
    DestroyWindow(dialog);
}

}  // namespace
