// The raw device for line printers and the printer escapes: QUERYESCSUPPORT on every kind of
// device, PASSTHROUGH byte for byte, text laid on the character grid.
#include <gtest/gtest.h>

#include <cstring>
#include <unistd.h>
#include <string>

#include "contract/printing_env.h"
#include "core/trace.h"

namespace {

int query(HDC dc, int escape, int count) {
    int32_t asked = escape;
    return Escape(dc, QUERYESCSUPPORT, count, (LPCSTR)&asked, nullptr);
}

int passthrough(HDC dc, const std::string &bytes) {
    std::string buffer(2, '\0');
    buffer[0] = (char)(bytes.size() & 0xff);
    buffer[1] = (char)(bytes.size() >> 8);
    buffer += bytes;
    return Escape(dc, PASSTHROUGH, 0, buffer.data(), nullptr);
}

std::string raw_profile(const std::string &name) {
    std::string dir = printing_env(name);
    write_file(dir + "/win.ini",
               "[devices]\nLp=raw," + dir + "/lp.prn\nLp300=raw," + dir + "/lp300.prn,dpi=300\n");
    profile_reload_for_tests();
    return dir;
}

}  // namespace

TEST(Escape, QueryEscSupportPerDevice) {
    raw_profile("escape_query");
    struct Row {
        const char *printer;
        int escape, count;
        bool supported;
        const char *note;
    } rows[] = {
        {"PDF", PASSTHROUGH, 4, false, "pdf draws, it takes no raw bytes"},
        {"PostScript", PASSTHROUGH, 4, false, "ps likewise"},
        {"Lp", PASSTHROUGH, 4, true, "raw file printer"},
        {"Lp", PASSTHROUGH, 2, true, "a 16-bit query"},
        {"PDF", QUERYESCSUPPORT, 4, true, "the query itself, everywhere"},
        {"Lp", QUERYESCSUPPORT, 4, true, "the query itself, everywhere"},
        {"Lp", 4096, 4, false, "an escape nobody supports"},
        {"Lp", PASSTHROUGH, 1, false, "too short to hold the question"},
    };
    for (const Row &row : rows) {
        HDC dc = CreateDCA("WINSPOOL", row.printer, nullptr, nullptr);
        ASSERT_NE(dc, nullptr) << row.printer;
        EXPECT_EQ(query(dc, row.escape, row.count) != 0, row.supported)
            << row.printer << ": " << row.note;
        DeleteDC(dc);
    }
}

TEST(Escape, PassthroughReachesTheRawOutputByteForByte) {
    std::string dir = raw_profile("escape_passthrough");
    std::string every;
    for (int b = 0; b < 256; b++) every.push_back((char)b);
    HDC dc = CreateDCA("WINSPOOL", "Lp", nullptr, nullptr);
    DOCINFOA di;
    memset(&di, 0, sizeof di);
    di.cbSize = sizeof di;
    di.lpszDocName = "report.txt";
    EXPECT_EQ(passthrough(dc, "early"), SP_ERROR) << "no document yet";
    ASSERT_GT(StartDocA(dc, &di), 0);
    ASSERT_GT(StartPage(dc), 0);
    EXPECT_EQ(passthrough(dc, "\x1b@abc\r\n"), 7);
    EXPECT_EQ(passthrough(dc, ""), 0);
    EXPECT_EQ(passthrough(dc, every), 256);
    EXPECT_GT(EndPage(dc), 0);
    ASSERT_GT(StartPage(dc), 0);
    EXPECT_GT(EndPage(dc), 0);
    EXPECT_GT(EndDoc(dc), 0);
    DeleteDC(dc);
    EXPECT_EQ(read_file(dir + "/lp.prn"), "\x1b@abc\r\n" + every + "\f\f")
        << "each page ends in a form feed";
}

TEST(RawDevice, TextIsLaidOnTheCharacterGrid) {
    std::string dir = raw_profile("raw_grid");
    struct Row {
        const char *printer;
        int dpi;
    } rows[] = {{"Lp", 600}, {"Lp300", 300}};
    for (const Row &row : rows) {
        HDC dc = CreateDCA("WINSPOOL", row.printer, nullptr, nullptr);
        int cw = row.dpi / 10, lh = row.dpi / 6;
        DOCINFOA di;
        memset(&di, 0, sizeof di);
        di.cbSize = sizeof di;
        di.lpszDocName = "r.txt";
        ASSERT_GT(StartDocA(dc, &di), 0);
        StartPage(dc);
        TextOutA(dc, 0, 0, "TITLE", 5);
        TextOutA(dc, 10 * cw, 2 * lh, "indented", 8);
        TextOutA(dc, 2 * cw, 0, "xx", 2);  // overwrites inside the first row
        TextOutA(dc, 3 * cw + cw / 2, 3 * lh + lh / 2, "a\tb", 3);  // inside a cell; no tab
        EndPage(dc);
        StartPage(dc);
        TextOutA(dc, 0, 0, "two", 3);
        EndPage(dc);
        EndDoc(dc);
        DeleteDC(dc);
        std::string file = dir + (row.dpi == 300 ? "/lp300.prn" : "/lp.prn");
        EXPECT_EQ(read_file(file), "TIxxE\n\n          indented\n   a b\n\ftwo\n\f") << row.printer;
    }
}

TEST(Escape, TraceShowsTheInputBytes) {
    std::string dir = raw_profile("escape_trace");
    std::string trace = dir + "/trace.jsonl";
    set_env("PELLMARK_TRACE", trace.c_str());
    trace_reset_for_tests();
    HDC dc = CreateDCA("WINSPOOL", "Lp", nullptr, nullptr);
    query(dc, PASSTHROUGH, 4);
    passthrough(dc, "abc");
    DeleteDC(dc);
    set_env("PELLMARK_TRACE", nullptr);
    trace_reset_for_tests();
    std::string got = read_file(trace);
    EXPECT_NE(
        got.find("{\"fn\":\"Escape\",\"escape\":8,\"count\":4,\"in\":\"13000000\",\"ret\":1}"),
        std::string::npos)
        << got;
    EXPECT_NE(got.find("\"escape\":19,\"count\":0,\"in\":\"0300616263\""), std::string::npos)
        << got;
}

TEST(RawDevice, DevicePortTakesTheBytesDirectly) {
    std::string dir = printing_env("raw_device_port", "Null=raw,/dev/null\n");
    HDC dc = CreateDCA("WINSPOOL", "Null", nullptr, nullptr);
    DOCINFOA di;
    memset(&di, 0, sizeof di);
    di.cbSize = sizeof di;
    di.lpszDocName = "r.txt";
    ASSERT_GT(StartDocA(dc, &di), 0) << "no temporary file can be made in /dev";
    EXPECT_GT(StartPage(dc), 0);
    EXPECT_EQ(passthrough(dc, "abc"), 3);
    EXPECT_GT(EndPage(dc), 0);
    EXPECT_GT(EndDoc(dc), 0);
    DeleteDC(dc);
}

TEST(SpoolerFailures, FullDiskGivesOutOfDisk) {
    if (access("/dev/full", W_OK) != 0) GTEST_SKIP() << "no /dev/full to stand for a full disk";
    printing_env("out_of_disk", "Full=raw,/dev/full\n");
    HDC dc = CreateDCA("WINSPOOL", "Full", nullptr, nullptr);
    DOCINFOA di;
    memset(&di, 0, sizeof di);
    di.cbSize = sizeof di;
    di.lpszDocName = "r.txt";
    ASSERT_GT(StartDocA(dc, &di), 0);
    EXPECT_GT(StartPage(dc), 0);
    EXPECT_EQ(passthrough(dc, "abc"), SP_OUTOFDISK);
    EXPECT_EQ(EndPage(dc), SP_OUTOFDISK);
    EXPECT_EQ(EndDoc(dc), SP_ERROR) << "the failed page ended the document";
    DeleteDC(dc);

    // A PDF document finds out no later than at its end.
    dc = CreateDCA("WINSPOOL", "PDF", nullptr, nullptr);
    di.lpszOutput = "/dev/full";
    int results[4] = {StartDocA(dc, &di), StartPage(dc), EndPage(dc), EndDoc(dc)};
    int first_failure = 0;
    for (int r : results)
        if (r < 0 && !first_failure) first_failure = r;
    EXPECT_EQ(first_failure, SP_OUTOFDISK)
        << results[0] << " " << results[1] << " " << results[2] << " " << results[3];
    DeleteDC(dc);
}
