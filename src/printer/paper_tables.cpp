// The paper form and paper source tables, and the case-blind name lookups over them.
//
// Codes are the published DMPAPER_ and DMBIN_ values; dimensions are the published sizes,
// width first, inch sizes multiplied by 25.4. Each table ends in a row whose name is null.
#include "printer/paper_tables.h"

const PaperForm paper_forms[] = {
    {16, "10 by 14 sheet", 254.0, 355.6},           // DMPAPER_10X14
    {17, "11 by 17 sheet", 279.4, 431.8},           // DMPAPER_11X17
    {8, "A3", 297.0, 420.0},                        // DMPAPER_A3
    {9, "A4", 210.0, 297.0},                        // DMPAPER_A4
    {10, "A4 small", 210.0, 297.0},                 // DMPAPER_A4SMALL
    {11, "A5", 148.0, 210.0},                       // DMPAPER_A5
    {12, "B4", 250.0, 354.0},                       // DMPAPER_B4
    {13, "B5", 182.0, 257.0},                       // DMPAPER_B5
    {24, "C", 431.8, 558.8},                        // DMPAPER_CSHEET
    {25, "D", 558.8, 863.6},                        // DMPAPER_DSHEET
    {20, "#10 envelope", 104.775, 241.3},           // DMPAPER_ENV_10
    {21, "#11 envelope", 114.3, 263.525},           // DMPAPER_ENV_11
    {22, "#12 envelope", 120.65, 279.4},            // DMPAPER_ENV_12
    {23, "#14 envelope", 127.0, 292.1},             // DMPAPER_ENV_14
    {19, "#9 envelope", 98.425, 225.425},           // DMPAPER_ENV_9
    {33, "B4 envelope", 250.0, 353.0},              // DMPAPER_ENV_B4
    {34, "B5 envelope", 176.0, 250.0},              // DMPAPER_ENV_B5
    {35, "B6 envelope", 176.0, 125.0},              // DMPAPER_ENV_B6
    {29, "C3 envelope", 324.0, 458.0},              // DMPAPER_ENV_C3
    {30, "C4 envelope", 229.0, 324.0},              // DMPAPER_ENV_C4
    {28, "C5 envelope", 162.0, 229.0},              // DMPAPER_ENV_C5
    {31, "C6 envelope", 114.0, 162.0},              // DMPAPER_ENV_C6
    {32, "C65 envelope", 114.0, 229.0},             // DMPAPER_ENV_C65
    {27, "DL envelope", 110.0, 220.0},              // DMPAPER_ENV_DL
    {36, "Italy envelope", 110.0, 230.0},           // DMPAPER_ENV_ITALY
    {37, "Monarch envelope", 98.425, 190.5},        // DMPAPER_ENV_MONARCH
    {38, "6 3/4 envelope", 92.075, 165.1},          // DMPAPER_ENV_PERSONAL
    {26, "E", 863.6, 1117.6},                       // DMPAPER_ESHEET
    {7, "Executive", 184.15, 266.7},                // DMPAPER_EXECUTIVE
    {41, "German legal fanfold", 215.9, 330.2},     // DMPAPER_FANFOLD_LGL_GERMAN
    {40, "German standard fanfold", 215.9, 304.8},  // DMPAPER_FANFOLD_STD_GERMAN
    {39, "U.S. standard fanfold", 377.825, 279.4},  // DMPAPER_FANFOLD_US
    {14, "Folio", 215.9, 330.2},                    // DMPAPER_FOLIO
    {4, "Ledger", 431.8, 279.4},                    // DMPAPER_LEDGER
    {5, "Legal", 215.9, 355.6},                     // DMPAPER_LEGAL
    {1, "Letter", 215.9, 279.4},                    // DMPAPER_LETTER
    {2, "Letter small", 215.9, 279.4},              // DMPAPER_LETTERSMALL
    {18, "Note", 215.9, 279.4},                     // DMPAPER_NOTE
    {15, "Quarto", 215.0, 275.0},                   // DMPAPER_QUARTO
    {6, "Statement", 139.7, 215.9},                 // DMPAPER_STATEMENT
    {3, "Tabloid", 279.4, 431.8},                   // DMPAPER_TABLOID
    {0, nullptr, 0.0, 0.0},
};

const PaperSource paper_sources[] = {
    {1, "Upper"},            // DMBIN_UPPER
    {2, "Lower"},            // DMBIN_LOWER
    {3, "Middle"},           // DMBIN_MIDDLE
    {4, "Manual"},           // DMBIN_MANUAL
    {5, "Envelope"},         // DMBIN_ENVELOPE
    {6, "Manual Envelope"},  // DMBIN_ENVMANUAL
    {7, "Automatic"},        // DMBIN_AUTO
    {8, "Tractor"},          // DMBIN_TRACTOR
    {9, "Small format"},     // DMBIN_SMALLFMT
    {10, "Large format"},    // DMBIN_LARGEFMT
    {11, "Large capacity"},  // DMBIN_LARGECAPACITY
    {14, "Paper cassette"},  // DMBIN_CASSETTE
    {256, "User defined"},   // DMBIN_USER
    {0, nullptr},
};

// Only A-Z fold to a-z: bytes above 127 compare as they are, whatever the locale says.
static unsigned char FoldAscii(unsigned char c) { return (c >= 'A' && c <= 'Z') ? c + 32 : c; }

// True when the two zero-terminated texts are equal ignoring the case of ASCII letters. A
// prefix is no match.
bool EqualIgnoringAsciiCase(const char *a, const char *b) {
    for (;; a++, b++) {
        if (FoldAscii((unsigned char)*a) != FoldAscii((unsigned char)*b)) return false;
        if (*a == 0) return true;
    }
}

// The first row, in stored order, whose whole name matches; nullptr when the walk reaches the
// end row without a match (the end row itself is never a match).
const PaperForm *FindPaperForm(const char *name) {
    for (const PaperForm *row = paper_forms; row->name; row++)
        if (EqualIgnoringAsciiCase(row->name, name)) return row;
    return nullptr;
}

// As FindPaperForm, over the paper source table.
const PaperSource *FindPaperSource(const char *name) {
    for (const PaperSource *row = paper_sources; row->name; row++)
        if (EqualIgnoringAsciiCase(row->name, name)) return row;
    return nullptr;
}
