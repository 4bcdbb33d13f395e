// The printers the spooler knows: built-in file printers, the profile's [devices] entries and
// the queues of a reachable CUPS scheduler. A name is looked up in that order of precedence:
// profile entry, then CUPS queue, then built-in printer.
#pragma once

#include <cstddef>

#include "win32_types.h"

enum PrinterDriver { DRIVER_NONE = 0, DRIVER_PDF, DRIVER_PS, DRIVER_RAW, DRIVER_CUPS };

enum PrinterOrigin { ORIGIN_BUILTIN, ORIGIN_PROFILE, ORIGIN_CUPS };

// One printer as the device contexts need it. Lengths are hundredths of a millimetre.
struct PrinterInfo {
    char name[128];
    PrinterDriver driver;
    PrinterOrigin origin;
    // pdf/ps/raw: "" or "FILE:" (beside the report), a directory, a file path, or "|command".
    // cups: the queue name.
    char port[1024];
    int dpi;
    int margin_hmm[4];          // left, top, right, bottom of the portrait page; -1 unknown
    int width_hmm, length_hmm;  // default paper, 0 when the system paper applies
    char media_name[64];        // the default paper's name when known ("Letter", "na_letter_...")
    bool raw_queue;             // a CUPS queue that takes the document unfiltered
    WORD spec_version;          // dmSpecVersion the driver reports; 0 = the current layout
    bool cairo_engine;          // pdf: draw with cairo rather than the direct PDF text writer
};

const int DEFAULT_DPI = 600;
const int BUILTIN_MARGIN_HMM = 635;  // a quarter inch

// Looks `name` up (ASCII case ignored) with profile > CUPS > built-in precedence. On failure
// returns false and *error holds the Win32 code: ERROR_INVALID_PRINTER_NAME when the printer
// surely does not exist, or the CUPS client's code when the scheduler could not be asked.
bool registry_find(const char *name, PrinterInfo *out, DWORD *error);

// The default printer: the CUPS default queue (unless a profile entry of the same name
// overrides it), else the built-in "PDF". Never fails.
void registry_default_printer(PrinterInfo *out);

// Parses a profile [devices] value "driver,port[,dpi=N][,margins=L][,engine=cairo]" into *out (name
// not touched). False when the driver is not pdf, ps or raw, or an option is malformed.
bool registry_parse_entry(const char *value, PrinterInfo *out);

// The driver's name as it appears in profile values and driver files ("pdf", "ps", ...).
const char *registry_driver_name(PrinterDriver driver);
// The driver for a name, ASCII case ignored; DRIVER_NONE when unknown.
PrinterDriver registry_driver_of(const char *name);

// Writes the profile form of a printer, "driver,port", cut to size - 1.
void registry_profile_entry(const PrinterInfo *printer, char *out, size_t size);
