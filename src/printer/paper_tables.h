// Paper form and paper source tables. Each ends in a row whose name is null.
#pragma once

#include <cstdint>

struct PaperForm {
    int32_t code;  // DMPAPER_ code
    const char *name;
    double width_mm;
    double length_mm;
};

struct PaperSource {
    int32_t code;  // DMBIN_ code
    const char *name;
};

extern const PaperForm paper_forms[];      // 41 rows and the end row
extern const PaperSource paper_sources[];  // 13 rows and the end row

// Whole-name lookups that ignore the case of ASCII letters; nullptr when no row matches.
const PaperForm *FindPaperForm(const char *name);
const PaperSource *FindPaperSource(const char *name);
// Compares two texts ignoring the case of ASCII letters only: true when equal.
bool EqualIgnoringAsciiCase(const char *a, const char *b);
