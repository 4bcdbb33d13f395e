// Run output: the font chosen for each attribute, the character-set translation of the line's
// tail, raw runs passed through byte for byte, and the growth of the two shared buffers, as
// seen in the platform call trace of a real printer device context.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <new>
#include <string>
#include <vector>

#include "core/trace.h"
#include "diag/debug_log.h"
#include "job/print_job.h"
#include "render/run_output.h"
#include "support/test_support.h"

// Test-only replacement of the nothrow array allocation, the one OutputRun uses to grow its
// buffers: while fail_allocations is set it reports no memory.
static bool fail_allocations = false;
void *operator new[](std::size_t size, const std::nothrow_t &) noexcept {
    if (fail_allocations) return nullptr;
    try {
        return ::operator new[](size);
    } catch (...) {
        return nullptr;
    }
}

namespace {

// A device context of the built-in PDF printer and the four report fonts, with the trace
// going to a fresh file. No document is started: the trace shows every call's arguments.
class RunOutput : public ::testing::Test {
   protected:
    void SetUp() override {
        dir = test_dir("run_output");
        trace_path = dir + "/trace.jsonl";
        write_file(dir + "/profile.ini", "[devices]\nLP=raw," + dir + "/lp.prn\n");
        set_env("PELLMARK_PROFILE", (dir + "/profile.ini").c_str());
        set_env("PELLMARK_FAULTS", nullptr);
        set_env("PELLMARK_TRACE", nullptr);
        trace_reset_for_tests();
        job = PrintJob{};
        job.printer_dc = CreateDCA("WINSPOOL", "PDF", nullptr, nullptr);
        ASSERT_NE(job.printer_dc, nullptr);
        LOGFONTA font = {};
        font.lfHeight = -100;
        strcpy(font.lfFaceName, "Courier New");
        for (int i = 0; i < 4; i++) {
            font.lfWeight = (i == 1 || i == 3) ? FW_BOLD : FW_NORMAL;
            font.lfUnderline = i >= 2;
            report_fonts[i] = CreateFontIndirectA(&font);
        }
        StartTrace();
    }
    void TearDown() override {
        if (job.printer_dc) DeleteDC(job.printer_dc);
        for (HFONT &f : report_fonts) DeleteObject(f), f = nullptr;
        set_env("PELLMARK_TRACE", nullptr);
        set_env("PELLMARK_PROFILE", nullptr);
        trace_reset_for_tests();
    }
    void StartTrace() {
        set_env("PELLMARK_TRACE", trace_path.c_str());
        trace_reset_for_tests();
    }
    // The traced calls named `fn`, one string per call ("" when there were none).
    std::vector<std::string> Traced(const std::string &fn) {
        std::vector<std::string> out;
        for (const std::string &line : read_lines(trace_path))
            if (line.find("{\"fn\":\"" + fn + "\"") == 0) out.push_back(line);
        return out;
    }
    std::string dir, trace_path;
    PrintJob job;
};

// The handle of a SelectObject line's object as the trace writes it.
long long SelectedObject(const std::string &line) {
    size_t at = line.find("\"obj\":");
    return at == std::string::npos ? -1 : atoll(line.c_str() + at + 6);
}

TEST_F(RunOutput, FontByAttribute) {
    struct Row {
        BYTE attributes;
        int font;
        const char *note;
    } rows[] = {
        {0, 0, "no attribute: normal"},
        {2, 1, "bold"},
        {1, 2, "underline"},
        {3, 3, "bold and underline"},
    };
    for (const Row &row : rows) {
        StartTrace();
        OutputRun(&job, row.attributes, 120, 200, "abc", 3);
        std::vector<std::string> selects = Traced("SelectObject");
        ASSERT_EQ(selects.size(), 1u) << row.note;
        EXPECT_EQ(SelectedObject(selects[0]), (long long)(intptr_t)report_fonts[row.font])
            << row.note << ": expected report font " << row.font << ", got " << selects[0];
        std::vector<std::string> texts = Traced("TextOutA");
        ASSERT_EQ(texts.size(), 1u) << row.note;
        EXPECT_NE(texts[0].find("\"x\":120,\"y\":200,\"text\":\"abc\",\"count\":3"),
                  std::string::npos)
            << row.note << ": " << texts[0];
    }
}

TEST_F(RunOutput, TranslatesTheLineTailInOneDirection) {
    // The decoded line "caf\xe9 b" whose second run starts at index 2.
    const char line[] = "caf\xe9 b";
    struct Row {
        BYTE oem, ansi;
        const char *call;  // the translation expected, or "" for none
        const char *note;
    } rows[] = {
        {1, 0, "CharToOemA", "oem: ANSI to OEM"},
        {0, 1, "OemToCharA", "ansi: OEM to ANSI"},
        {1, 1, "CharToOemA", "both: only ANSI to OEM"},
        {0, 0, "", "neither: no translation"},
    };
    for (const Row &row : rows) {
        StartTrace();
        job.oem = row.oem;
        job.ansi = row.ansi;
        OutputRun(&job, 0, 120, 0, line + 2, 2);
        std::vector<std::string> to_oem = Traced("CharToOemA");
        std::vector<std::string> to_ansi = Traced("OemToCharA");
        std::string made = !to_oem.empty() ? "CharToOemA" : !to_ansi.empty() ? "OemToCharA" : "";
        EXPECT_EQ(made, row.call) << row.note;
        EXPECT_EQ(to_oem.size() + to_ansi.size(), made.empty() ? 0u : 1u) << row.note;
        if (!made.empty()) {
            std::string call = !to_oem.empty() ? to_oem[0] : to_ansi[0];
            EXPECT_NE(call.find("\"text\":\"f\\u00e9 b\""), std::string::npos)
                << row.note << ": the whole tail is translated, got " << call;
        }
    }
    // CP1252 e-acute is 0x82 in code page 437; the run drawn is the translated head.
    job.oem = 1;
    job.ansi = 0;
    StartTrace();
    OutputRun(&job, 0, 120, 0, line + 2, 2);
    std::vector<std::string> texts = Traced("TextOutA");
    ASSERT_EQ(texts.size(), 1u);
    EXPECT_NE(texts[0].find("\"text\":\"f\\u0082\",\"count\":2"), std::string::npos) << texts[0];
}

TEST_F(RunOutput, TranslateBufferGrowsToTheLongestTail) {
    job.oem = 1;
    std::string tail(40, 'x');
    OutputRun(&job, 0, 0, 0, tail.c_str(), 3);
    int grown = translate_buffer_length;
    EXPECT_GE(grown, 40) << "the buffer holds the whole tail";
    char *storage = translate_buffer;
    OutputRun(&job, 0, 0, 0, tail.c_str() + 30, 10);
    EXPECT_EQ(translate_buffer_length, grown) << "a shorter tail reuses the buffer";
    EXPECT_EQ(translate_buffer, storage) << "a shorter tail reuses the buffer";
    StartTrace();
    OutputRun(&job, 0, 0, 0, "", 0);
    EXPECT_TRUE(Traced("CharToOemA").empty()) << "an empty tail is not translated";
    EXPECT_EQ(Traced("TextOutA").back().find("\"count\":0") != std::string::npos, true)
        << "the empty run is still drawn: " << Traced("TextOutA").back();
}

TEST_F(RunOutput, RawRunsPassThroughByteForByte) {
    job.raw = 1;
    job.oem = 1;  // raw bytes are never translated
    int size_before = raw_buffer_size;
    OutputRun(&job, 3, 500, 500, "ab\xe9\x1b\n", 5);
    OutputRun(&job, 0, 0, 0, "xyz", 3);
    OutputRun(&job, 0, 0, 0, "", 0);
    std::vector<std::string> escapes = Traced("Escape");
    ASSERT_EQ(escapes.size(), 3u);
    EXPECT_NE(escapes[0].find("\"escape\":19,\"count\":7,\"in\":\"05006162e91b0a\""),
              std::string::npos)
        << "count 5 in two bytes, then the 5 bytes: " << escapes[0];
    EXPECT_NE(escapes[1].find("\"in\":\"030078797a\""), std::string::npos) << escapes[1];
    EXPECT_NE(escapes[2].find("\"in\":\"0000\""), std::string::npos) << escapes[2];
    EXPECT_TRUE(Traced("SelectObject").empty()) << "no font in raw mode";
    EXPECT_TRUE(Traced("TextOutA").empty()) << "no text drawn in raw mode";
    EXPECT_TRUE(Traced("CharToOemA").empty()) << "no translation in raw mode";
    EXPECT_EQ(raw_buffer_size, size_before > 7 ? size_before : 7)
        << "grown to exactly the longest run + 2, and reused for the shorter ones";
}

TEST_F(RunOutput, NoMemoryToGrowSkipsTheRunAndSaysSo) {
    std::string log = dir + "/log.txt";
    OpenDebugLog(log.c_str());
    std::string big(400, 'q');
    struct Row {
        BYTE raw, oem;
        const char *call;
        const char *note;
    } rows[] = {
        {1, 0, "Escape", "raw buffer"},
        {0, 1, "TextOutA", "translate buffer"},
    };
    for (const Row &row : rows) {
        StartTrace();
        job.raw = row.raw;
        job.oem = row.oem;
        char *raw_before = raw_buffer, *translate_before = translate_buffer;
        int raw_size = raw_buffer_size, translate_length = translate_buffer_length;
        fail_allocations = true;
        OutputRun(&job, 0, 0, 0, big.c_str(), (WORD)big.size());
        fail_allocations = false;
        EXPECT_TRUE(Traced(row.call).empty()) << row.note << ": the run is skipped";
        EXPECT_EQ(raw_buffer, raw_before) << row.note << ": the buffer stays as it was";
        EXPECT_EQ(translate_buffer, translate_before) << row.note;
        EXPECT_EQ(raw_buffer_size, raw_size) << row.note;
        EXPECT_EQ(translate_buffer_length, translate_length) << row.note;
        // Once memory is back, the same run goes out.
        OutputRun(&job, 0, 0, 0, big.c_str(), (WORD)big.size());
        EXPECT_EQ(Traced(row.call).size(), 1u) << row.note << ": printed when memory is back";
    }
    std::vector<std::string> lines = read_lines(log);
    std::vector<std::string> expected = {"OutputRun: no memory for 402 bytes, run skipped",
                                         "OutputRun: no memory for 401 bytes, run skipped"};
    EXPECT_EQ(lines, expected);
}

}  // namespace
