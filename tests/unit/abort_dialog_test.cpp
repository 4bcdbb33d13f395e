// The progress dialog and the abort procedure on the terminal dialog manager: Cancel by any
// command, the queue emptied without waiting, Ctrl-C and the Cancel knob as the button.
#include <fcntl.h>
#include <signal.h>
#include <stdlib.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <string>

#include "core/hooks.h"
#include "core/trace.h"
#include "render/abort_dialog.h"
#include "support/test_support.h"
#include "user/window_styles.h"
#include "user/window_table.h"

namespace {

// Creates the dialog as the composer does and destroys it at the end of the test.
struct Progress {
    Progress() {
        user_abort = 0;
        progress_dialog = CreateDialogParamA(nullptr, "AbrtDlg", GetFocus(), AbrtDlgP, 0);
    }
    ~Progress() {
        if (progress_dialog) DestroyWindow(progress_dialog);
        progress_dialog = nullptr;
        user_abort = 0;
    }
};

bool queue_empty() {
    MSG msg;
    return !PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE);
}

TEST(AbortDialog, InitialisationRemembersTheDialogAndFocusesCancel) {
    Progress p;
    ASSERT_NE(progress_dialog, nullptr);
    EXPECT_EQ(status_dialog, progress_dialog);
    char caption[64];
    GetWindowTextA(progress_dialog, caption, sizeof caption);
    EXPECT_STREQ(caption, "Spooling");
    EXPECT_EQ(GetFocus(), GetDlgItem(progress_dialog, IDCANCEL)) << "first tab stop";
    DestroyWindow(progress_dialog);
    progress_dialog = nullptr;
    EXPECT_EQ(status_dialog, nullptr) << "no page text may reach a destroyed dialog";
}

TEST(AbortDialog, DialogProcedureAnswers) {
    struct Row {
        const char *note;
        UINT message;
        WPARAM wparam;
        INT_PTR result;
        int abort;
    } rows[] = {
        {"Cancel button", WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), TRUE, 1},
        {"any control id", WM_COMMAND, MAKEWPARAM(100, 0), TRUE, 1},
        {"any notification code", WM_COMMAND, 0x12345678, TRUE, 1},
        {"high bits of the message number are ignored", 0x10000 | WM_COMMAND, 0, TRUE, 1},
        {"other messages are left alone", WM_CLOSE, 0, FALSE, 0},
        {"key presses too", WM_KEYDOWN, VK_ESCAPE, FALSE, 0},
    };
    for (const Row &row : rows) {
        Progress p;
        EXPECT_EQ(AbrtDlgP(progress_dialog, row.message, row.wparam, 0), row.result) << row.note;
        EXPECT_EQ(user_abort, row.abort) << row.note;
        EXPECT_NE(window_find(progress_dialog), nullptr) << row.note << ": not closed here";
    }
}

TEST(AbortDialog, AbortProcedureEmptiesTheQueueAndAnswersByTheFlag) {
    struct Row {
        const char *note;
        bool dialog;
        UINT message;  // posted to the dialog (or the thread without one)
        WPARAM wparam;
        BOOL result;
    } rows[] = {
        {"nothing queued", true, 0, 0, TRUE},
        {"a Cancel click", true, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), FALSE},
        {"Esc on the dialog", true, WM_KEYDOWN, VK_ESCAPE, FALSE},
        {"Enter presses the default Cancel", true, WM_KEYDOWN, VK_RETURN, FALSE},
        {"a message the dialog ignores", true, WM_USER, 0, TRUE},
        {"without a dialog thread messages are dispatched", false, WM_USER, 0, TRUE},
    };
    for (const Row &row : rows) {
        Progress p;
        if (!row.dialog) {
            DestroyWindow(progress_dialog);
            progress_dialog = nullptr;
        }
        if (row.message) PostMessageA(progress_dialog, row.message, row.wparam, 0);
        PostMessageA(nullptr, WM_USER + 1, 0, 0);
        EXPECT_EQ(AbrtProc(nullptr, 0), row.result) << row.note;
        EXPECT_TRUE(queue_empty()) << row.note;
        EXPECT_EQ(AbrtProc(nullptr, 0), row.result) << row.note << ": the flag stays";
    }
}

TEST(AbortDialog, CancelKnobPressesCancelAfterTheNthStartPage) {
    set_env("PELLMARK_FAULTS", "Cancel#2=1");
    trace_reset_for_tests();
    {
        Progress p;
        hook_after_start_page(nullptr);
        EXPECT_TRUE(AbrtProc(nullptr, 0)) << "page 1 prints on";
        hook_after_start_page(nullptr);
        EXPECT_FALSE(AbrtProc(nullptr, 0)) << "Cancel pressed while page 2 prints";
    }
    set_env("PELLMARK_FAULTS", "Cancel#1=1");
    trace_reset_for_tests();
    hook_after_start_page(nullptr);  // no dialog: no button to press
    EXPECT_TRUE(queue_empty());
    EXPECT_TRUE(AbrtProc(nullptr, 0));
    set_env("PELLMARK_FAULTS", nullptr);
    trace_reset_for_tests();
}

sighandler_t current_interrupt_handler() {
    struct sigaction now;
    sigaction(SIGINT, nullptr, &now);
    return now.sa_handler;
}

TEST(AbortDialog, CtrlCIsCancelWhileTheDialogExists) {
    sighandler_t inherited = signal(SIGINT, SIG_DFL);  // the test runner may ignore it
    {
        Progress p;
        EXPECT_NE(current_interrupt_handler(), SIG_DFL);
        raise(SIGINT);
        EXPECT_EQ(current_interrupt_handler(), SIG_DFL) << "a second Ctrl-C ends the process";
        EXPECT_FALSE(AbrtProc(nullptr, 0)) << "the first one is the Cancel button";
        EXPECT_EQ(user_abort, 1);
    }
    EXPECT_EQ(current_interrupt_handler(), SIG_DFL) << "restored with the dialog gone";

    signal(SIGINT, SIG_IGN);
    {
        Progress p;
        EXPECT_EQ(current_interrupt_handler(), SIG_IGN) << "a run started with Ctrl-C ignored";
    }
    EXPECT_EQ(current_interrupt_handler(), SIG_IGN);
    signal(SIGINT, inherited);
}

TEST(AbortDialogDeathTest, SecondCtrlCEndsTheProcess) {
    EXPECT_EXIT(
        {
            signal(SIGINT, SIG_DFL);
            Progress p;
            raise(SIGINT);
            raise(SIGINT);
            exit(0);
        },
        testing::KilledBySignal(SIGINT), "");
}

TEST(AbortDialog, TracesTheDialogCalls) {
    std::string dir = test_dir("abort_dialog_trace");
    set_env("PELLMARK_TRACE", (dir + "/trace.jsonl").c_str());
    trace_reset_for_tests();
    {
        Progress p;
        SetDlgItemTextA(status_dialog, 100, "r.txt (page 1)");
    }
    set_env("PELLMARK_TRACE", nullptr);
    trace_reset_for_tests();
    std::string trace = read_file(dir + "/trace.jsonl");
    const char *expected[] = {
        "{\"fn\":\"SetWindowTextA\",\"text\":\"Spooling\",\"ret\":1}",
        "{\"fn\":\"CreateDialogParamA\",\"template\":\"AbrtDlg\",\"ret\":",
        "{\"fn\":\"SetDlgItemTextA\",\"id\":100,\"text\":\"r.txt (page 1)\",\"ret\":1}",
        "{\"fn\":\"DestroyWindow\",\"ret\":1}",
    };
    size_t at = 0;
    for (const char *line : expected) {
        size_t found = trace.find(line, at);
        EXPECT_NE(found, std::string::npos) << "expected, in order: " << line << "\ngot:\n"
                                            << trace;
        if (found != std::string::npos) at = found;
    }
}

// Runs `body` with stderr on a new pseudo-terminal; returns what the terminal received.
template <typename F>
std::string on_terminal(F body) {
    int master = posix_openpt(O_RDWR | O_NOCTTY);
    if (master < 0 || grantpt(master) != 0 || unlockpt(master) != 0) return "<no pty>";
    int slave = open(ptsname(master), O_RDWR | O_NOCTTY);
    int saved = dup(2);
    dup2(slave, 2);
    body();
    dup2(saved, 2);
    close(saved);
    close(slave);
    std::string got;
    fcntl(master, F_SETFL, O_NONBLOCK);
    char buffer[4096];
    for (ssize_t n; (n = read(master, buffer, sizeof buffer)) > 0;) got.append(buffer, (size_t)n);
    close(master);
    return got;
}

TEST(AbortDialog, StatusLineOnATerminalOnly) {
    std::string shown = on_terminal([] {
        Progress p;
        SetDlgItemTextA(status_dialog, 100, "r.txt (page 3)");
    });
    EXPECT_NE(shown.find("\rSpooling: r.txt (page 3) \xE2\x80\x94 Ctrl-C cancels\x1b[K"),
              std::string::npos)
        << shown;
    EXPECT_EQ(shown.substr(shown.size() - 4), "\r\x1b[K") << "the line goes with the dialog";

    std::string dir = test_dir("abort_dialog_no_terminal");
    int file = open((dir + "/stderr.txt").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    int saved = dup(2);
    dup2(file, 2);
    {
        Progress p;
        SetDlgItemTextA(status_dialog, 100, "r.txt (page 3)");
    }
    dup2(saved, 2);
    close(saved);
    close(file);
    EXPECT_EQ(read_file(dir + "/stderr.txt"), "") << "nothing when stderr is not a terminal";
}

}  // namespace
