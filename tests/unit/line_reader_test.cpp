// The report line reader over byte fixtures, read through the platform's _lopen/_lread.
#include <gtest/gtest.h>

#include <regex>
#include <string>
#include <vector>

#include "diag/debug_log.h"
#include "render/line_reader.h"
#include "support/test_support.h"

namespace {

struct Line {
    std::string bytes;  // the counted bytes
    int status;
};

// Reads the whole fixture with a buffer of `size` bytes, up to and including CTL_EOF.
std::vector<Line> ReadAll(const std::string &bytes, bool raw, int size = 512) {
    std::string path = test_dir("line_reader") + "/report.txt";
    write_file(path, bytes);
    PrintJob job;
    InitPrintJob(&job);
    job.raw = raw;
    job.report_file = _lopen(path.c_str(), OF_READ);
    EXPECT_NE(job.report_file, HFILE_ERROR) << path;
    std::vector<Line> lines;
    std::vector<char> buffer(size, '\x7f');
    for (int guard = 0; guard < 100; guard++) {
        int status = -1;
        int count = GetLine(&job, buffer.data(), size, &status);
        EXPECT_EQ(buffer[size - 1], 0) << "the buffer's last byte always holds 0";
        lines.push_back({std::string(buffer.data(), count), status});
        if (status == CTL_EOF) break;
    }
    _lclose(job.report_file);
    return lines;
}

std::string Show(const std::vector<Line> &lines) {
    std::string out;
    for (const Line &line : lines) {
        out += "[";
        for (unsigned char c : line.bytes)
            out += (c >= 32 && c < 127) ? std::string(1, (char)c) : "\\" + std::to_string(c);
        out += "]" + std::to_string(line.status) + " ";
    }
    return out;
}

std::vector<Line> L(std::initializer_list<Line> lines) { return lines; }

}  // namespace

TEST(LineReader, ByteFixtures) {
    const std::string a511(511, 'a'), a600(600, 'a');
    struct Case {
        const char *note;
        std::string bytes;
        bool raw;
        std::vector<Line> expected;
    } cases[] = {
        {"empty file", "", false, L({{"", CTL_EOF}})},
        {"CR LF, normal", "abc\r\nd\n", false,
         L({{std::string("abc\0", 4), CTL_LINE},
            {std::string("d\0", 2), CTL_LINE},
            {"", CTL_EOF}})},
        {"CR LF, raw", "abc\r\n", true, L({{"abc\n", CTL_LINE}, {"", CTL_EOF}})},
        {"raw LF", "\n\n", false,
         L({{std::string(1, '\0'), CTL_LINE}, {std::string(1, '\0'), CTL_LINE}, {"", CTL_EOF}})},
        {"raw LF, raw mode", "\n", true, L({{"\n", CTL_LINE}, {"", CTL_EOF}})},
        {"CR anywhere dropped, raw too", "a\rb\r\r\n", true,
         L({{"ab\n", CTL_LINE}, {"", CTL_EOF}})},
        {"FF ends line and page", "abc\fdef\n", false,
         L({{"abc", CTL_FORM_FEED}, {std::string("def\0", 4), CTL_LINE}, {"", CTL_EOF}})},
        {"FF at line start is not EOF", "\f\fx", false,
         L({{"", CTL_FORM_FEED}, {"", CTL_FORM_FEED}, {"x", CTL_LINE}, {"", CTL_EOF}})},
        {"last line without LF", "tail", false, L({{"tail", CTL_LINE}, {"", CTL_EOF}})},
        {"600-byte line in pieces", a600 + "\n", false,
         L({{a511, CTL_LINE}, {std::string(89, 'a') + '\0', CTL_LINE}, {"", CTL_EOF}})},
        {"511 then LF", a511 + "\n", false,
         L({{a511, CTL_LINE}, {std::string(1, '\0'), CTL_LINE}, {"", CTL_EOF}})},
        {"511 then CR LF", a511 + "\r\n", false,
         L({{a511, CTL_LINE}, {std::string(1, '\0'), CTL_LINE}, {"", CTL_EOF}})},
        {"511 then FF", a511 + "\f", false,
         L({{a511, CTL_LINE}, {"", CTL_FORM_FEED}, {"", CTL_EOF}})},
        {"control, high and NUL bytes kept", std::string("a\b_\x1b\xe9\0z\n", 8), false,
         L({{std::string("a\b_\x1b\xe9\0z\0", 8), CTL_LINE}, {"", CTL_EOF}})},
    };
    for (const Case &c : cases) {
        std::vector<Line> got = ReadAll(c.bytes, c.raw);
        EXPECT_EQ(Show(got), Show(c.expected)) << c.note;
    }
}

TEST(LineReader, SmallestBufferHoldsOneByte) {
    EXPECT_EQ(
        Show(ReadAll("ab\n", false, 2)),
        Show(L(
            {{"a", CTL_LINE}, {"b", CTL_LINE}, {std::string(1, '\0'), CTL_LINE}, {"", CTL_EOF}})));
}

TEST(LineReader, EndOfFileIsLoggedOnlyForEof) {
    std::string log = test_dir("line_reader_log") + "/debug.log";
    OpenDebugLog(log.c_str());
    ASSERT_EQ(log_state, LOG_ON);
    ReadAll("\fx\n", false);
    std::string got = read_file(log);
    EXPECT_TRUE(
        std::regex_match(got, std::regex("GetLine: found EOF - GetLastError\\(\\) = -?[0-9]+\n")))
        << "expected one EOF line, got [" << got << "]";
    fclose(log_file);
    log_file = nullptr;
    log_state = LOG_UNDECIDED;
}
