// Message boxes without a terminal: the line on stderr, the answer, the trace and the knob.
#include <fcntl.h>
#include <stdlib.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "core/trace.h"
#include "platform/windows_services.h"
#include "support/test_support.h"

namespace {

// Runs `body` with stdin from /dev/null and stderr into a file; returns what stderr got.
template <typename F>
std::string headless(const std::string &dir, F body) {
    std::string err_path = dir + "/stderr.txt";
    fflush(stderr);
    int saved_in = dup(0), saved_err = dup(2);
    int null_fd = open("/dev/null", O_RDONLY);
    int err_fd = open(err_path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    dup2(null_fd, 0);
    dup2(err_fd, 2);
    body();
    dup2(saved_in, 0);
    dup2(saved_err, 2);
    close(null_fd);
    close(err_fd);
    close(saved_in);
    close(saved_err);
    return read_file(err_path);
}

struct Row {
    const char *note;
    const char *text;
    const char *caption;
    UINT type;
    int expected;
    const char *line;
};

TEST(MessageBox, AnswersWithoutWaitingAndLeavesItsTextOnStderr) {
    const Row rows[] = {
        {"retry/cancel without a terminal is Cancel", "StartPage failed", "Pellmark",
         MB_RETRYCANCEL | MB_ICONERROR, IDCANCEL, "Pellmark: StartPage failed\n"},
        {"OK box answers OK", "No printer", "Printer", MB_OK, IDOK, "Printer: No printer\n"},
        {"no caption is titled Error", "out of paper", nullptr, MB_OK, IDOK,
         "Error: out of paper\n"},
    };
    std::string dir = test_dir("message_box_rows");
    set_env("PELLMARK_TRACE", nullptr);
    set_env("PELLMARK_FAULTS", nullptr);
    trace_reset_for_tests();
    for (const Row &row : rows) {
        int got = 0;
        std::string err =
            headless(dir, [&] { got = MessageBoxA(nullptr, row.text, row.caption, row.type); });
        EXPECT_EQ(got, row.expected) << row.note;
        EXPECT_EQ(err, row.line) << row.note;
    }
}

TEST(MessageBox, TracesItsArgumentsAndObeysTheFaultKnob) {
    std::string dir = test_dir("message_box_trace");
    set_env("PELLMARK_TRACE", (dir + "/trace.jsonl").c_str());
    set_env("PELLMARK_FAULTS", "MessageBoxA#2=4");
    trace_reset_for_tests();
    int first = 0, second = 0;
    std::string err = headless(dir, [&] {
        first = MessageBoxA(nullptr, "EndPage failed", "Pellmark", MB_RETRYCANCEL);
        second = MessageBoxA(nullptr, "EndPage failed", "Pellmark", MB_RETRYCANCEL);
    });
    set_env("PELLMARK_TRACE", nullptr);
    set_env("PELLMARK_FAULTS", nullptr);
    trace_reset_for_tests();
    EXPECT_EQ(first, IDCANCEL);
    EXPECT_EQ(second, IDRETRY) << "the knob answers the second box with 4";
    EXPECT_EQ(err, "Pellmark: EndPage failed\nPellmark: EndPage failed\n")
        << "a forced answer still shows the message";
    std::vector<std::string> lines = read_lines(dir + "/trace.jsonl");
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0],
              "{\"fn\":\"MessageBoxA\",\"text\":\"EndPage failed\",\"caption\":\"Pellmark\","
              "\"type\":5,\"ret\":2}");
    EXPECT_EQ(lines[1],
              "{\"fn\":\"MessageBoxA\",\"text\":\"EndPage failed\",\"caption\":\"Pellmark\","
              "\"type\":5,\"fault\":true,\"ret\":4}");
}

// Runs `body` with stdin and stderr on a new pseudo-terminal after typing `typed` into it.
// Returns what the terminal showed (the prompts and the echo of the typing).
template <typename F>
std::string on_terminal(const char *typed, F body) {
    int master = posix_openpt(O_RDWR | O_NOCTTY);
    if (master < 0 || grantpt(master) != 0 || unlockpt(master) != 0) return "<no pty>";
    int slave = open(ptsname(master), O_RDWR | O_NOCTTY);
    int saved_in = dup(0), saved_err = dup(2);
    dup2(slave, 0);
    dup2(slave, 2);
    if (write(master, typed, strlen(typed)) < 0) return "<no typing>";
    body();
    dup2(saved_in, 0);
    dup2(saved_err, 2);
    close(saved_in);
    close(saved_err);
    close(slave);
    std::string shown;
    fcntl(master, F_SETFL, O_NONBLOCK);
    char buffer[4096];
    for (ssize_t n; (n = read(master, buffer, sizeof buffer)) > 0;) shown.append(buffer, (size_t)n);
    close(master);
    return shown;
}

TEST(MessageBox, AsksOnATerminalUntilTheAnswerIsRetryOrCancel) {
    set_env("PELLMARK_TRACE", nullptr);
    set_env("PELLMARK_FAULTS", nullptr);
    trace_reset_for_tests();
    struct Row {
        const char *note;
        const char *typed;
        int expected;
        int prompts;
    } rows[] = {
        {"r is Retry", "r\n", IDRETRY, 1},
        {"capital C is Cancel", "C\n", IDCANCEL, 1},
        {"anything else asks again", "x\n  retry\n", IDRETRY, 2},
    };
    for (const Row &row : rows) {
        int got = 0;
        std::string shown = on_terminal(row.typed, [&] {
            got = MessageBoxA(nullptr, "StartPage failed", "Pellmark", MB_RETRYCANCEL);
        });
        EXPECT_EQ(got, row.expected) << row.note;
        int prompts = 0;
        for (size_t at = 0; (at = shown.find("Retry or Cancel? [r/c]", at)) != std::string::npos;
             at++)
            prompts++;
        EXPECT_EQ(prompts, row.prompts) << row.note << ": " << shown;
        EXPECT_NE(shown.find("Pellmark: StartPage failed"), std::string::npos) << row.note;
    }
}

}  // namespace
