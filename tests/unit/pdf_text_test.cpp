// The direct PDF text writer, checked with poppler's tools: pages, text on the grid, fonts
// embedded once as subsets, escapes, failures of the destination, and a page buffer that
// stops growing.
#include <fontconfig/fontconfig.h>
#include <gtest/gtest.h>

#include <cctype>
#include <cstdio>
#include <string>

#include "pdf/pdf_text.h"
#include "support/test_support.h"
#include "support/command_output.h"

namespace {

const int DPI = 600;

bool write_to_file(void *context, const void *bytes, size_t count) {
    return fwrite(bytes, 1, count, (FILE *)context) == count;
}

bool refuse_after_first(void *context, const void *, size_t) {
    int *calls = (int *)context;
    return (*calls)++ == 0;
}

// The file fontconfig gives for a pattern, or "" when none.
std::string font_file(const char *pattern) {
    FcPattern *p = FcNameParse((const FcChar8 *)pattern);
    FcConfigSubstitute(nullptr, p, FcMatchPattern);
    FcDefaultSubstitute(p);
    FcResult result;
    FcPattern *m = FcFontMatch(nullptr, p, &result);
    FcPatternDestroy(p);
    std::string path;
    FcChar8 *file;
    if (m && FcPatternGetString(m, FC_FILE, 0, &file) == FcResultMatch) path = (const char *)file;
    if (m) FcPatternDestroy(m);
    return path;
}

class PdfTextTest : public ::testing::Test {
   protected:
    void SetUp() override {
        dir = test_dir("pdf_text");
        regular = font_file("Liberation Mono");
        bold = font_file("Liberation Mono:bold");
        if (regular.find(".ttf") == std::string::npos || bold.find(".ttf") == std::string::npos)
            GTEST_SKIP() << "no TrueType Liberation Mono here";
    }
    std::string dir, regular, bold;
};

// At 600 dpi: an em of 12 points and cells of a tenth of an inch (7.2 points).
const PdfRunStyle NORMAL = {100, 60, false, 1, false};
const PdfRunStyle UNDERLINED = {100, 60, true, 1, false};

TEST_F(PdfTextTest, PagesTextAndFontsAsPopplerReadsThem) {
    std::string path = dir + "/doc.pdf";
    FILE *file = fopen(path.c_str(), "wb");
    ASSERT_NE(file, nullptr);
    PdfText doc;
    ASSERT_TRUE(pdf_text_begin(&doc, write_to_file, file, DPI));
    int r = pdf_text_font(&doc, regular.c_str(), 0);
    int b = pdf_text_font(&doc, bold.c_str(), 0);
    ASSERT_EQ(r, 0);
    ASSERT_EQ(b, 1);
    for (int page = 1; page <= 3; page++) {
        pdf_text_page(&doc, 8.5 * DPI, 11 * DPI);
        std::string line = "Page " + std::to_string(page) + " (paren) back\\slash";
        pdf_text_run(&doc, r, &NORMAL, 0, 100, (const unsigned char *)line.data(),
                     (int)line.size());
        pdf_text_run(&doc, b, &UNDERLINED, 60 * 40, 100, (const unsigned char *)"BOLD", 4);
        pdf_text_run(&doc, r, &NORMAL, 60 * 10, 200, (const unsigned char *)"caf\xE9 \x80 5", 8);
        pdf_text_line(&doc, 0, 300, 600, 300, 1);
    }
    ASSERT_TRUE(pdf_text_finish(&doc));
    fclose(file);

    std::string info = command_output("pdfinfo " + path + " 2>&1");
    EXPECT_NE(info.find("Pages:           3"), std::string::npos) << info;
    EXPECT_NE(info.find("612 x 792 pts"), std::string::npos) << info;
    std::string fonts = command_output("pdffonts " + path + " 2>&1");
    int embedded_subsets = 0;
    for (size_t at = 0, end; (end = fonts.find('\n', at)) != std::string::npos; at = end + 1) {
        std::string row = fonts.substr(at, end - at);
        if (row.find("TrueType") != std::string::npos && row.find("WinAnsi") != std::string::npos &&
            row.find(" yes yes ") != std::string::npos)
            embedded_subsets++;
    }
    EXPECT_EQ(embedded_subsets, 2) << "each face once, embedded as a subset:\n" << fonts;

    // Text by row: page 2 has the escaped delimiters, the bold word on the same line, and
    // the Windows-1252 bytes as their characters.
    std::string text = command_output("pdftotext -f 2 -l 2 -layout " + path + " - 2>&1");
    EXPECT_NE(text.find("Page 2 (paren) back\\slash"), std::string::npos) << text;
    EXPECT_NE(text.find("BOLD"), std::string::npos) << text;
    EXPECT_NE(text.find("caf\xC3\xA9 \xE2\x82\xAC 5"), std::string::npos) << text;
}

// Dark pixels of page 1 rendered in grey at 150 dpi: the ink of the page.
long ink(const std::string &path) {
    std::string pgm = command_output("pdftoppm -r 150 -gray -f 1 -l 1 " + path + " 2>/dev/null");
    // P5 header: magic, width, height, maximum, then the pixels.
    size_t at = 0;
    for (int fields = 0; fields < 4 && at < pgm.size(); fields++) {
        while (at < pgm.size() && isspace((unsigned char)pgm[at])) at++;
        while (at < pgm.size() && !isspace((unsigned char)pgm[at])) at++;
    }
    long dark = 0;
    for (size_t i = at + 1; i < pgm.size(); i++) dark += (unsigned char)pgm[i] < 128;
    return dark;
}

TEST_F(PdfTextTest, RunsStandOnTheirCells) {
    // Column 20 of line 3 (lines of 100 units, baseline 80 below the top) of a 12-point face
    // whose cells are its advance of 7.2 points times its stretch, as GDI stretches a face to
    // a logical width: 20 cells from the left, two cells wide.
    struct Row {
        double stretch;
        bool embolden;
        const char *note;
    } rows[] = {
        {0, false, "the face as it is"},
        {1.5, false, "a face stretched to one and a half times its width"},
        {0.8, false, "a face narrowed"},
        {1, true, "an emboldened face"},
    };
    long plain_ink = 0;
    for (const Row &row : rows) {
        std::string path = dir + "/grid.pdf";
        FILE *file = fopen(path.c_str(), "wb");
        ASSERT_NE(file, nullptr);
        PdfText doc;
        ASSERT_TRUE(pdf_text_begin(&doc, write_to_file, file, DPI));
        int r = pdf_text_font(&doc, regular.c_str(), 0);
        pdf_text_page(&doc, 8.5 * DPI, 11 * DPI);
        double stretch = row.stretch > 0 ? row.stretch : 1;
        PdfRunStyle style = {100, 60 * stretch, false, row.stretch, row.embolden};
        pdf_text_run(&doc, r, &style, 20 * style.cell, 3 * 100 + 80, (const unsigned char *)"XY",
                     2);
        ASSERT_TRUE(pdf_text_finish(&doc));
        fclose(file);
        std::string bbox = command_output("pdftotext -bbox " + path + " - 2>&1");
        double x_min = -1, x_max = -1;
        size_t at = bbox.find("xMin=\"");
        if (at != std::string::npos) sscanf(bbox.c_str() + at, "xMin=\"%lf\"", &x_min);
        at = bbox.find("xMax=\"");
        if (at != std::string::npos) sscanf(bbox.c_str() + at, "xMax=\"%lf\"", &x_max);
        EXPECT_NEAR(x_min, 144.0 * stretch, 0.01) << row.note << "\n" << bbox;
        EXPECT_NEAR(x_max, 158.4 * stretch, 0.01) << row.note << "\n" << bbox;
        long page_ink = ink(path);
        if (row.stretch == 0) plain_ink = page_ink;
        if (row.embolden) {
            EXPECT_GT(page_ink, plain_ink * 5 / 4) << row.note << ": more ink than the plain face";
        }
    }
}

TEST_F(PdfTextTest, FaceThatCannotBeSubsetIsRefused) {
    PdfText doc;
    ASSERT_TRUE(pdf_text_begin(&doc, refuse_after_first, nullptr, DPI));
    std::string text_file = dir + "/not_a_font.ttf";
    write_file(text_file, "plain text\n");
    EXPECT_EQ(pdf_text_font(&doc, text_file.c_str(), 0), -1) << "not a font";
    EXPECT_EQ(pdf_text_font(&doc, (dir + "/missing.ttf").c_str(), 0), -1) << "missing";
    std::string cff = font_file("Nimbus Sans");
    if (cff.find(".otf") != std::string::npos) {
        EXPECT_EQ(pdf_text_font(&doc, cff.c_str(), 0), -1) << "a CFF face has no glyf table";
    }
    pdf_text_abandon(&doc);
}

TEST_F(PdfTextTest, RefusedBytesFailTheDocument) {
    int calls = 0;
    PdfText doc;
    ASSERT_TRUE(pdf_text_begin(&doc, refuse_after_first, &calls, DPI));
    int r = pdf_text_font(&doc, regular.c_str(), 0);
    bool pages_ok = true;
    unsigned seed = 1;
    for (int page = 0; page < 40; page++) {
        pdf_text_page(&doc, 11 * DPI, 8.5 * DPI);
        for (int y = 0; y < 60; y++) {
            // Digits that do not compress away: the document needs more than one block.
            std::string line(132, ' ');
            for (char &c : line) c = (char)('0' + (seed = seed * 1103515245 + 12345) % 10);
            pdf_text_run(&doc, r, &NORMAL, 0, y * 100 + 80, (const unsigned char *)line.data(),
                         (int)line.size());
        }
        pages_ok = pdf_text_end_page(&doc) && pages_ok;
    }
    EXPECT_FALSE(pdf_text_finish(&doc)) << "the destination refused its second block";
    EXPECT_GE(calls, 2);
}

TEST_F(PdfTextTest, PageBufferStopsGrowing) {
    PdfText doc;
    FILE *sink = fopen("/dev/null", "wb");
    ASSERT_NE(sink, nullptr);
    ASSERT_TRUE(pdf_text_begin(&doc, write_to_file, sink, DPI));
    int r = pdf_text_font(&doc, regular.c_str(), 0);
    std::string line(132, '7');
    size_t capacity_after_first = 0;
    for (int page = 0; page < 200; page++) {
        pdf_text_page(&doc, 11 * DPI, 8.5 * DPI);
        for (int y = 0; y < 60; y++)
            pdf_text_run(&doc, r, &UNDERLINED, 0, y * 100 + 80, (const unsigned char *)line.data(),
                         (int)line.size());
        ASSERT_TRUE(pdf_text_end_page(&doc));
        if (page == 0) capacity_after_first = doc.content.capacity + doc.packed.capacity;
    }
    EXPECT_EQ(doc.content.capacity + doc.packed.capacity, capacity_after_first)
        << "equal pages reuse the first page's buffers";
    EXPECT_TRUE(pdf_text_finish(&doc));
    fclose(sink);
}

}  // namespace
