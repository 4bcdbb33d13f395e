// Fonts on printer device contexts: the GDI height and width rules, the printer's default
// font and its line-printer grid, face fallback by pitch.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "contract/printing_env.h"

namespace {

struct Realised {
    TEXTMETRICA tm;
    std::string face;
};

// Metrics and face of `lf` realised on `dc` (the previous font is selected back).
Realised realise(HDC dc, const LOGFONTA &lf) {
    Realised r{};
    HFONT font = CreateFontIndirectA(&lf);
    HGDIOBJ old = SelectObject(dc, font);
    GetTextMetricsA(dc, &r.tm);
    char face[LF_FACESIZE] = "";
    GetTextFaceA(dc, sizeof face, face);
    r.face = face;
    SelectObject(dc, old);
    DeleteObject(font);
    return r;
}

LOGFONTA logfont(const char *face, LONG height, LONG width, LONG weight, BYTE pitch) {
    LOGFONTA lf;
    memset(&lf, 0, sizeof lf);
    lf.lfHeight = height;
    lf.lfWidth = width;
    lf.lfWeight = weight;
    lf.lfPitchAndFamily = pitch;
    snprintf(lf.lfFaceName, sizeof lf.lfFaceName, "%s", face);
    return lf;
}

}  // namespace

TEST(DefaultFont, GivesTenCharactersAndSixLinesPerInch) {
    printing_env("default_font", "Lp300=raw,out.prn,dpi=300\n");
    struct Row {
        const char *printer;
        int dpi;
    } rows[] = {{"PDF", 600}, {"Lp300", 300}, {"PostScript", 600}};
    for (const Row &row : rows) {
        HDC dc = CreateDCA("WINSPOOL", row.printer, nullptr, nullptr);
        ASSERT_NE(dc, nullptr) << row.printer;
        TEXTMETRICA tm;
        ASSERT_TRUE(GetTextMetricsA(dc, &tm)) << row.printer;
        EXPECT_EQ(tm.tmAveCharWidth, row.dpi / 10) << row.printer << ": 10 cpi";
        EXPECT_EQ(tm.tmHeight + tm.tmExternalLeading, row.dpi / 6) << row.printer << ": 6 lpi";
        EXPECT_EQ(tm.tmHeight - tm.tmInternalLeading, row.dpi / 6) << row.printer << ": 12 pt";
        EXPECT_EQ(tm.tmPitchAndFamily & TMPF_FIXED_PITCH, 0) << row.printer << ": fixed pitch";
        EXPECT_EQ(tm.tmPitchAndFamily & 0xF0, FF_MODERN) << row.printer;
        EXPECT_EQ(tm.tmWeight, FW_NORMAL) << row.printer;
        char face[LF_FACESIZE];
        EXPECT_EQ(GetTextFaceA(dc, sizeof face, face), 8) << row.printer;
        EXPECT_STREQ(face, "Courier") << row.printer;
        // What the page composer does with it: a font from the default font's own metrics
        // keeps the grid, so 80 columns fit 8 inches and more than 60 lines fit the page.
        LOGFONTA lf = logfont(face, tm.tmHeight, tm.tmAveCharWidth, FW_BOLD, tm.tmPitchAndFamily);
        Realised bold = realise(dc, lf);
        EXPECT_EQ(bold.tm.tmAveCharWidth, tm.tmAveCharWidth) << row.printer;
        EXPECT_EQ(bold.tm.tmHeight + bold.tm.tmExternalLeading, row.dpi / 6) << row.printer;
        EXPECT_GT(GetDeviceCaps(dc, VERTRES) / (row.dpi / 6), 60) << row.printer;
        DeleteDC(dc);
    }
}

TEST(FontHeight, NegativeIsEmPositiveIsCellWidthStretches) {
    printing_env("font_height");
    HDC dc = CreateDCA("WINSPOOL", "PDF", nullptr, nullptr);
    ASSERT_NE(dc, nullptr);
    struct Row {
        const char *note;
        LOGFONTA lf;
        int height, internal_leading, ave_width;  // -1: not checked
        const char *face;
        bool fixed;
    } rows[] = {
        {"em height 100 (12 pt)", logfont("Courier New", -100, 0, 400, 0), 113, 13, 60,
         "Liberation Mono", true},
        {"cell height 113 is the same font", logfont("Courier New", 113, 0, 400, 0), 113, 13, 60,
         "Liberation Mono", true},
        {"cell height 100 shrinks the em", logfont("Courier New", 100, 0, 400, 0), 100, 12, 53,
         "Liberation Mono", true},
        {"width 60 stretches the narrower face", logfont("Courier New", 100, 60, 400, 0), 100, 12,
         60, "Liberation Mono", true},
        {"em 50", logfont("Courier New", -50, 0, 700, 0), 57, 7, 30, "Liberation Mono", true},
        {"Arial is proportional", logfont("Arial", -100, 0, 400, 0), 112, 12, -1, "Liberation Sans",
         false},
        {"width on a proportional face", logfont("Arial", -100, 80, 400, 0), 112, 12, 80,
         "Liberation Sans", false},
        {"a missing fixed face stays fixed", logfont("Lucida Console", -100, 0, 400, 0), -1, -1, -1,
         nullptr, true},
        {"FIXED_PITCH asks for a fixed fallback", logfont("No Such Face", -100, 0, 400, 1), -1, -1,
         -1, nullptr, true},
        {"FF_MODERN asks for a fixed fallback", logfont("No Such Face", -100, 0, 400, 0x32), -1, -1,
         -1, nullptr, true},
    };
    for (const Row &row : rows) {
        Realised r = realise(dc, row.lf);
        if (row.height >= 0) {
            EXPECT_EQ(r.tm.tmHeight, row.height) << row.note;
        }
        if (row.internal_leading >= 0) {
            EXPECT_EQ(r.tm.tmInternalLeading, row.internal_leading) << row.note;
        }
        if (row.ave_width >= 0) {
            EXPECT_EQ(r.tm.tmAveCharWidth, row.ave_width) << row.note;
        }
        if (row.face) {
            EXPECT_EQ(r.face, row.face) << row.note;
        }
        EXPECT_EQ((r.tm.tmPitchAndFamily & TMPF_FIXED_PITCH) == 0, row.fixed)
            << row.note << ": tmPitchAndFamily " << (int)r.tm.tmPitchAndFamily << " face "
            << r.face;
        EXPECT_EQ(r.tm.tmAscent + r.tm.tmDescent, r.tm.tmHeight) << row.note;
        EXPECT_EQ(r.tm.tmWeight, row.lf.lfWeight) << row.note;
    }
    DeleteDC(dc);
}

TEST(FontObjects, SelectionAndDeletion) {
    printing_env("font_objects");
    HDC dc = CreateDCA("WINSPOOL", "PDF", nullptr, nullptr);
    LOGFONTA lf = logfont("Courier New", -100, 0, 400, 0);
    HFONT font = CreateFontIndirectA(&lf);
    ASSERT_NE(font, nullptr);
    HGDIOBJ original = SelectObject(dc, font);
    EXPECT_NE(original, nullptr) << "a new context has a font selected";
    EXPECT_FALSE(DeleteObject(font)) << "still selected";
    EXPECT_FALSE(DeleteObject(original)) << "the context's own font";
    EXPECT_EQ(SelectObject(dc, original), (HGDIOBJ)font);
    EXPECT_TRUE(DeleteObject(font));
    EXPECT_EQ(SelectObject(dc, font), nullptr) << "a deleted font";
    EXPECT_EQ(CreateFontIndirectA(nullptr), nullptr);
    DeleteDC(dc);
}
