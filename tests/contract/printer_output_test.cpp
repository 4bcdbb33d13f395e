// Documents on the file printers, checked in the real output: PDF through poppler's tools,
// raw bytes byte for byte; the abort procedure, cancelled documents and spooler failures.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>

#include "contract/printing_env.h"
#include "core/trace.h"
#include "support/command_output.h"

namespace {

// The names in a folder, sorted, separated by blanks.
std::string listing(const std::string &dir) {
    std::string names;
    for (const auto &e : std::filesystem::directory_iterator(dir))
        names += e.path().filename().string() + " ";
    return command_output("printf '%s' '" + names + "' | tr ' ' '\\n' | sort | tr '\\n' ' '");
}

DOCINFOA docinfo(const char *name, const char *output = nullptr) {
    DOCINFOA di;
    memset(&di, 0, sizeof di);
    di.cbSize = sizeof di;
    di.lpszDocName = name;
    di.lpszOutput = output;
    return di;
}

HFONT font(HDC dc, LONG weight, BYTE underline) {
    TEXTMETRICA tm;
    GetTextMetricsA(dc, &tm);
    LOGFONTA lf;
    memset(&lf, 0, sizeof lf);
    lf.lfHeight = tm.tmHeight;
    lf.lfWidth = tm.tmAveCharWidth;
    lf.lfWeight = weight;
    lf.lfUnderline = underline;
    lf.lfPitchAndFamily = tm.tmPitchAndFamily;
    GetTextFaceA(dc, LF_FACESIZE, lf.lfFaceName);
    return CreateFontIndirectA(&lf);
}

void text(HDC dc, int column, int line, const char *s) {
    TextOutA(dc, column * 60, line * 100, s, (int)strlen(s));
}

int abort_calls = 0;
int abort_after = 0;
BOOL CALLBACK counting_abort(HDC, int) { return ++abort_calls < abort_after; }

}  // namespace

TEST(PdfOutput, SearchableTextEmbeddedFontsAndTheGrid) {
    std::string dir = printing_env("pdf_output");
    std::filesystem::create_directories(dir + "/reports");
    std::string report = dir + "/reports/r.txt";
    write_file(report, "report");
    DEVMODEA letter = devmode_with(DM_PAPERSIZE, DMPAPER_LETTER, 0, 0, 0);
    HDC dc = CreateDCA("WINSPOOL", "PDF", nullptr, &letter);
    ASSERT_NE(dc, nullptr);
    HFONT bold = font(dc, FW_BOLD, 0), underline = font(dc, FW_NORMAL, 1);
    HGDIOBJ normal = SelectObject(dc, font(dc, FW_NORMAL, 0));
    DOCINFOA di = docinfo(report.c_str());
    EXPECT_GT(StartDocA(dc, &di), 0);
    EXPECT_GT(StartPage(dc), 0);
    text(dc, 0, 0, "Hello, world");
    text(dc, 0, 1,
         "caf\xe9 \xb7 \x80 A\x81"
         "B");  // café · € A, an undefined byte, B
    SelectObject(dc, bold);
    text(dc, 0, 2, "BOLD");
    SelectObject(dc, underline);
    text(dc, 5, 2, "under");
    std::string columns;
    for (int i = 0; i < 8; i++) columns += "1234567890";
    text(dc, 0, 3, columns.c_str());
    text(dc, 70, 4, "col71");
    for (int x = 0; x <= 600; x += 10) {
        MoveToEx(dc, x, 600, nullptr);
        LineTo(dc, x, x % 50 ? 610 : 620);
    }
    EXPECT_GT(EndPage(dc), 0);
    EXPECT_GT(StartPage(dc), 0);
    text(dc, 0, 0, "Page two");
    EXPECT_GT(EndPage(dc), 0);
    EXPECT_GT(EndDoc(dc), 0);
    DeleteObject(SelectObject(dc, normal));
    DeleteDC(dc);
    DeleteObject(bold);
    DeleteObject(underline);

    std::string pdf = dir + "/reports/r.pdf";
    EXPECT_EQ(listing(dir + "/reports"), "r.pdf r.txt ") << "beside the report, no leftovers";
    std::string info = command_output("pdfinfo '" + pdf + "'");
    EXPECT_NE(info.find("Pages:           2\n"), std::string::npos) << info;
    EXPECT_NE(info.find("612 x 792 pts (letter)"), std::string::npos) << info;
    std::string fonts = command_output("pdffonts '" + pdf + "'");
    EXPECT_NE(fonts.find("LiberationMono"), std::string::npos) << fonts;
    EXPECT_NE(fonts.find("LiberationMono-Bold"), std::string::npos) << fonts;
    EXPECT_EQ(fonts.find(" no  "), std::string::npos) << "every font embedded\n" << fonts;
    std::string page = command_output("pdftotext -layout -f 1 -l 1 '" + pdf + "' -");
    EXPECT_NE(page.find("Hello, world"), std::string::npos) << page;
    EXPECT_NE(page.find("caf\u00e9 \u00b7 \u20ac A B"), std::string::npos) << page;
    EXPECT_NE(page.find("BOLD under"), std::string::npos) << page;
    EXPECT_NE(page.find(columns), std::string::npos) << page;
    // Column 71 of the grid stays column 71 in the text layout.
    size_t line = page.find("col71");
    ASSERT_NE(line, std::string::npos) << page;
    EXPECT_EQ(line - page.rfind('\n', line) - 1, 70u) << page;
    EXPECT_NE(command_output("pdftotext -f 2 -l 2 '" + pdf + "' -").find("Page two"),
              std::string::npos);
}

TEST(PdfOutput, OutputNameDirectoryPortAndCommandPort) {
    std::string dir =
        printing_env("pdf_targets", "ToDir=pdf,DIR/out/\nToCmd=ps,|cat > DIR/piped.ps\n");
    std::string ini = read_file(dir + "/win.ini");
    for (size_t at; (at = ini.find("DIR")) != std::string::npos;) ini.replace(at, 3, dir);
    write_file(dir + "/win.ini", ini);
    profile_reload_for_tests();
    std::filesystem::create_directories(dir + "/out");
    struct Row {
        const char *printer;
        std::string doc, output, expect;
        const char *magic;
    } rows[] = {
        {"PDF", dir + "/a.txt", dir + "/chosen.pdf", dir + "/chosen.pdf", "%PDF"},
        {"PostScript", dir + "/notes.v2.txt", "", dir + "/notes.v2.ps", "%!PS"},
        {"ToDir", "some/where/b.txt", "", dir + "/out/b.pdf", "%PDF"},
        {"ToCmd", "c.txt", "", dir + "/piped.ps", "%!PS"},
        {"PDF", dir + "/same.pdf", "", dir + "/same.pdf.pdf", "%PDF"},
    };
    write_file(dir + "/same.pdf", "the report itself");
    for (const Row &row : rows) {
        HDC dc = CreateDCA("WINSPOOL", row.printer, nullptr, nullptr);
        ASSERT_NE(dc, nullptr) << row.printer;
        DOCINFOA di = docinfo(row.doc.c_str(), row.output.empty() ? nullptr : row.output.c_str());
        EXPECT_GT(StartDocA(dc, &di), 0) << row.doc;
        StartPage(dc);
        TextOutA(dc, 0, 0, "x", 1);
        EndPage(dc);
        EXPECT_GT(EndDoc(dc), 0) << row.doc;
        DeleteDC(dc);
        EXPECT_EQ(read_file(row.expect).substr(0, 4), row.magic) << row.doc << " -> " << row.expect;
    }
    EXPECT_EQ(read_file(dir + "/same.pdf"), "the report itself") << "a report is never replaced";
}

TEST(Abort, FalseFromTheAbortProcedureCancelsTheJob) {
    std::string dir = printing_env("abort");
    struct Row {
        int after;          // the abort procedure answers FALSE at its n-th call
        int first_failing;  // index of the first call below that gives SP_APPABORT
    } rows[] = {{1, 0}, {2, 1}, {3, 2}};
    for (const Row &row : rows) {
        HDC dc = CreateDCA("WINSPOOL", "PDF", nullptr, nullptr);
        abort_calls = 0;
        abort_after = row.after;
        EXPECT_GT(SetAbortProc(dc, counting_abort), 0);
        std::string out = dir + "/aborted.pdf";
        DOCINFOA di = docinfo("doc", out.c_str());
        ASSERT_GT(StartDocA(dc, &di), 0);
        int results[5] = {StartPage(dc), EndPage(dc), StartPage(dc), EndPage(dc), EndDoc(dc)};
        for (int i = 0; i < 5; i++) {
            if (i < row.first_failing)
                EXPECT_GT(results[i], 0) << "abort at call " << row.after << ", call " << i;
            else
                EXPECT_EQ(results[i], SP_APPABORT)
                    << "abort at call " << row.after << ", call " << i;
        }
        EXPECT_FALSE(TextOutA(dc, 0, 0, "x", 1));
        DeleteDC(dc);
        EXPECT_EQ(listing(dir), "win.ini ") << "abort at call " << row.after;
    }
}

TEST(Abort, DrawingCallsGiveTheAbortProcedureItsTurn) {
    std::string dir = printing_env("abort_drawing");
    HDC dc = CreateDCA("WINSPOOL", "PDF", nullptr, nullptr);
    abort_calls = 0;
    abort_after = 1000;
    SetAbortProc(dc, counting_abort);
    std::string out = dir + "/d.pdf";
    DOCINFOA di = docinfo("doc", out.c_str());
    StartDocA(dc, &di);
    StartPage(dc);
    int before = abort_calls;
    for (int i = 0; i < 100; i++) TextOutA(dc, 0, i * 100, "line", 4);
    EXPECT_GE(abort_calls - before, 3) << "called during a page of drawing";
    EndPage(dc);
    EndDoc(dc);
    DeleteDC(dc);
}

TEST(DeleteDC, MidDocumentLeavesNothingBehind) {
    std::string dir = printing_env("delete_mid", "Lp=raw,DIR/lp.prn\n");
    std::string ini = read_file(dir + "/win.ini");
    ini.replace(ini.find("DIR"), 3, dir);
    write_file(dir + "/win.ini", ini);
    profile_reload_for_tests();
    const char *printers[] = {"PDF", "PostScript", "Lp"};
    for (const char *printer : printers) {
        HDC dc = CreateDCA("WINSPOOL", printer, nullptr, nullptr);
        std::string report = dir + "/report.txt";
        DOCINFOA di = docinfo(report.c_str());
        ASSERT_GT(StartDocA(dc, &di), 0) << printer;
        StartPage(dc);
        TextOutA(dc, 0, 0, "partial", 7);
        EndPage(dc);
        StartPage(dc);
        EXPECT_TRUE(DeleteDC(dc)) << printer;
        EXPECT_EQ(listing(dir), "win.ini ") << printer;
    }
}

TEST(SpoolerFailures, UnwritableTargetAndFaultKnob) {
    std::string dir = printing_env("failures");
    HDC dc = CreateDCA("WINSPOOL", "PDF", nullptr, nullptr);
    std::string missing = dir + "/no/such/folder/out.pdf";
    DOCINFOA di = docinfo("doc", missing.c_str());
    EXPECT_EQ(StartDocA(dc, &di), SP_ERROR);
    EXPECT_EQ(StartPage(dc), SP_ERROR) << "no document";
    EXPECT_EQ(EndDoc(dc), SP_ERROR) << "no document";
    struct Row {
        const char *knob;
        int expect[4];  // StartDocA, StartPage, EndPage, EndDoc
    } rows[] = {
        {"StartDocA=-4", {-4, -1, -1, -1}},
        {"StartPage#1=-1", {1, -1, -1, 1}},
        {"EndPage=-5", {1, 1, -5, 1}},
        {"EndDoc=-4", {1, 1, 1, -4}},
    };
    std::string out = dir + "/f.pdf";
    DOCINFOA good = docinfo("doc", out.c_str());
    for (const Row &row : rows) {
        set_env("PELLMARK_FAULTS", row.knob);
        trace_reset_for_tests();
        int got[4] = {StartDocA(dc, &good), StartPage(dc), EndPage(dc), EndDoc(dc)};
        for (int i = 0; i < 4; i++) {
            if (row.expect[i] > 0)
                EXPECT_GT(got[i], 0) << row.knob << " call " << i;
            else
                EXPECT_EQ(got[i], row.expect[i]) << row.knob << " call " << i;
        }
        AbortDoc(dc);
    }
    set_env("PELLMARK_FAULTS", nullptr);
    trace_reset_for_tests();
    DeleteDC(dc);
}
