// The print dialog's form on a terminal: printer, copies, orientation, paper and collation,
// shown on stderr and answered on stdin.
#pragma once

#include <cstddef>

const size_t FORM_PRINTER_SIZE = 128;

// What the form shows and the user may change. `*_changed` tell which settings the user
// touched, so that only those are written back to the device mode.
struct PrintChoices {
    char printer[FORM_PRINTER_SIZE];
    int copies;
    int orientation;  // DMORIENT_PORTRAIT or DMORIENT_LANDSCAPE
    int paper;        // DMPAPER_ code; DMPAPER_USER for a size given by width and length
    int paper_width, paper_length;  // tenths of a millimetre, for DMPAPER_USER
    bool collate;
    bool printer_changed, copies_changed, orientation_changed, paper_changed, collate_changed;
};

// Tells whether a printer of that name exists (the form refuses others).
typedef bool (*PrinterCheck)(const char *name);

// Runs the form until the user accepts (Enter) or cancels ("c", or the end of input).
// Must be called only when stdin and stderr are terminals. Result: true when accepted.
bool print_form_run(PrintChoices *choices, PrinterCheck exists);

// The name of a paper code for the form ("A4"), or null for a code it does not name.
const char *print_form_paper_name(int code);
// The paper code for a name (ASCII case ignored) or a number; 0 when neither.
int print_form_paper_code(const char *text);
