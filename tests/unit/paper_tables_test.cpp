// The paper form and source tables: whole-table invariants and the name lookups.
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "printer/paper_tables.h"

namespace {

std::string Lower(const char *name) {
    std::string s(name);
    for (char &c : s)
        if (c >= 'A' && c <= 'Z') c = (char)(c + 32);
    return s;
}

}  // namespace

TEST(PaperTables, FormsHaveUniqueCodesAndNamesAndAZeroEndRow) {
    std::set<int> codes;
    std::set<std::string> names;
    int rows = 0;
    for (const PaperForm *row = paper_forms; row->name; row++, rows++) {
        EXPECT_TRUE(codes.insert(row->code).second) << "code " << row->code << " twice";
        EXPECT_TRUE(names.insert(Lower(row->name)).second) << row->name << " twice";
        EXPECT_GT(row->width_mm, 0) << row->name;
        EXPECT_GT(row->length_mm, 0) << row->name;
    }
    EXPECT_EQ(rows, 41);
    EXPECT_EQ(*codes.begin(), 1);
    EXPECT_EQ(*codes.rbegin(), 41) << "codes are exactly 1 to 41";
    const PaperForm &end = paper_forms[41];
    EXPECT_EQ(end.code, 0);
    EXPECT_EQ(end.width_mm, 0.0);
    EXPECT_EQ(end.length_mm, 0.0);
}

TEST(PaperTables, SourcesHaveUniqueCodesAndNamesAndAZeroEndRow) {
    std::set<int> codes;
    std::set<std::string> names;
    int rows = 0;
    for (const PaperSource *row = paper_sources; row->name; row++, rows++) {
        EXPECT_TRUE(codes.insert(row->code).second) << "code " << row->code << " twice";
        EXPECT_TRUE(names.insert(Lower(row->name)).second) << row->name << " twice";
    }
    EXPECT_EQ(rows, 13);
    EXPECT_EQ(codes, (std::set<int>{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 14, 256}));
    EXPECT_EQ(paper_sources[13].code, 0);
}

TEST(PaperTables, SizesOfTheRowsThatShareOrSwapThem) {
    struct Row {
        const char *name;
        double width, length;
    } rows[] = {
        {"Ledger", 431.8, 279.4},  {"Tabloid", 279.4, 431.8},        {"Letter", 215.9, 279.4},
        {"Note", 215.9, 279.4},    {"A4 small", 210, 297},           {"Folio", 215.9, 330.2},
        {"B6 envelope", 176, 125}, {"#9 envelope", 98.425, 225.425},
    };
    for (const Row &row : rows) {
        const PaperForm *form = FindPaperForm(row.name);
        ASSERT_NE(form, nullptr) << row.name;
        EXPECT_DOUBLE_EQ(form->width_mm, row.width) << row.name;
        EXPECT_DOUBLE_EQ(form->length_mm, row.length) << row.name;
    }
}

TEST(PaperTables, LookupsMatchWholeNamesIgnoringAsciiCase) {
    struct Row {
        const char *name;
        int form_code;    // -1: no form row
        int source_code;  // -1: no source row
    } rows[] = {
        {"a4", 9, -1},
        {"LETTER", 1, -1},
        {"letter SMALL", 2, -1},
        {"A4 sm", -1, -1},
        {"manual envelope", -1, 6},
        {"Manual Env", -1, -1},
        {"user defined", -1, 256},
        {"", -1, -1},
        {"Upper ", -1, -1},
    };
    for (const Row &row : rows) {
        const PaperForm *form = FindPaperForm(row.name);
        const PaperSource *source = FindPaperSource(row.name);
        EXPECT_EQ(form ? form->code : -1, row.form_code) << "form [" << row.name << "]";
        EXPECT_EQ(source ? source->code : -1, row.source_code) << "source [" << row.name << "]";
    }
    EXPECT_FALSE(EqualIgnoringAsciiCase("\xc9t\xe9", "\xe9t\xe9")) << "only A-Z fold";
    EXPECT_TRUE(EqualIgnoringAsciiCase("_Z[", "_z["));
    EXPECT_FALSE(EqualIgnoringAsciiCase("@", "`")) << "neighbours of the letters do not fold";
}
