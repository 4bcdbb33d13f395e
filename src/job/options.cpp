// The option table, the prefix search over it and what each option does to the job.
#include "job/options.h"

#include <cstdlib>
#include <cstring>

#include "diag/debug_log.h"
#include "job/option_nesting.h"
#include "job/option_values.h"
#include "printer/paper_tables.h"

// Action codes. The codes without an action are accepted and ignored.
enum OptionCode {
    OPT_CONFIG = 0,
    OPT_DISPOSITION = 2,
    OPT_COPIES = 3,
    OPT_PRINTER_ID = 11,
    OPT_PRINTER_CTL = 12,
    OPT_FORM_ID = 14,
    OPT_FORM_CTL = 15,
    OPT_ORIENTATION = 16,
    OPT_COLLATE = 17,
    OPT_PITCH = 18,
    OPT_FONT = 19,
    OPT_RULER = 20,
    OPT_WIDTH = 21,
    OPT_LENGTH = 22,
    OPT_INTERACTIVE = 23,
    OPT_SOURCE = 24,
    OPT_LOG = 25,
    OPT_OEM = 26,
    OPT_ANSI = 27,
    OPT_RAW = 28,
};

// Stored order, which the help dialog shows; sorted once at start-up.
OptionEntry option_table[OPTION_COUNT] = {
    {6, "banner", "if present, print a banner page (not currently supported)"},
    {0, "config",
     "name of configuration file to use - the configuration file can provide additional "
     "options"},
    {3, "copies", "number of copies to print - not supported by some printer drivers"},
    {8, "date", "date/time to print report - not currently supported"},
    {2, "disposition",
     "disposition of print file after printing, valid choices are SCRATCH and SAVE, defaults "
     "to SAVE"},
    {5, "format", "format of print file - not currently supported"},
    {15, "form_ctl", "list of form-related options"},
    {14, "form_id", "Windows Form Name"},
    {13, "form_name", "Orvo Form Name (ignored)"},
    {1, "mode",
     "print mode - valid choices are KEEP, HOLD, and SPOOL, currently ignored and defaults to "
     "'SPOOL'"},
    {4, "notify",
     "if present, notify user when report has completed printing - not currently supported"},
    {7, "priority", "priority of report - not currently supported"},
    {12, "printer_ctl", "list of printer-related options"},
    {11, "printer_id", "Windows Printer Name"},
    {10, "printer_name", "Orvo Printer Name (ignored)"},
    {9, "user", "User Name (ignored)"},
    {25, "log", "provides the name of a debugging log file"},
    {16, "orientation", "report orientation, valid choices are Portrait and Landscape"},
    {17, "collate",
     "if present, multiple copies are collated - not supported by most printer drivers"},
    {18, "pitch", "pitch to use to print report"},
    {19, "font", "name of font to use to print report"},
    {20, "ruler", "if present, print a ruler on each page"},
    {21, "width",
     "width of form - use 'i' or 'm' as a suffix to indicate inches or millimeters (eg. 8.5i "
     "or 23m)"},
    {22, "length",
     "length of form - use 'i' or 'm' as a suffix to indicate inches or millimeters (eg. 11i "
     "or 279m)"},
    {23, "interactive",
     "if present, show printer setup dialog to user, if '=none', suppress any windows for "
     "network printing"},
    {24, "source", "paper source (not supported by many printer drivers)"},
    {26, "oem", "if present, translate characters to OEM character set"},
    {27, "ansi", "if present, translate characters to ANSI character set"},
    {28, "raw",
     "pass report to printer without translation, allows you to embed 'escape' codes in your "
     "report file"},
};

// Compares two names over the length of the shorter one (a name field may be full, without a
// terminator): a prefix, and the empty name, compare equal to the longer name. Bytes compare
// unsigned and case matters.
int CompareOptionNames(const void *a, const void *b) {
    const char *left = ((const OptionEntry *)a)->name;
    const char *right = ((const OptionEntry *)b)->name;
    size_t n = strnlen(left, sizeof(OptionEntry::name));
    size_t m = strnlen(right, sizeof(OptionEntry::name));
    int order = memcmp(left, right, n < m ? n : m);
    return order < 0 ? -1 : order > 0 ? 1 : 0;
}

// No name is a prefix of another, so this gives plain byte order; every search needs it.
void SortOptionTable() {
    qsort(option_table, OPTION_COUNT, sizeof option_table[0], CompareOptionNames);
}

// Halving search with the first 20 characters of the text as the key, the name together with
// whatever follows it. Probes the lower middle of the window, so where several names begin
// with the key, the probe order decides which is found. nullptr when none matches.
const OptionEntry *FindOption(const char *text) {
    OptionEntry key = {};
    // A full field carries no terminator (a plain copy loop: MinGW's g++ rejects a strncpy
    // bound equal to the field size).
    for (size_t i = 0; i < sizeof key.name && text[i] != '\0'; i++) key.name[i] = text[i];
    int first = 0, last = OPTION_COUNT - 1;
    while (first <= last) {
        int probe = (first + last) / 2;
        int order = CompareOptionNames(&key, &option_table[probe]);
        if (order == 0) return &option_table[probe];
        if (order < 0)
            last = probe - 1;
        else
            first = probe + 1;
    }
    return nullptr;
}

// Options with a text or a number as their value.
static void ApplyValueOption(PrintJob *job, int code, char *value) {
    switch (code) {
        case OPT_CONFIG:
            ReadConfigFile(job, value);
            break;
        case OPT_DISPOSITION:
            job->scratch = EqualIgnoringAsciiCase(value, "scratch");
            break;
        case OPT_COPIES:
            job->copies = ReadOptionInteger(value);
            break;
        case OPT_PRINTER_ID:
            CopyOptionText(job->printer_id, PRINTER_ID_SIZE, value);
            break;
        case OPT_FORM_ID:
            CopyOptionText(job->form_id, FORM_ID_SIZE, value);
            break;
        case OPT_FONT:
            CopyOptionText(job->font, FONT_NAME_SIZE, value);
            break;
        case OPT_PRINTER_CTL:
        case OPT_FORM_CTL:
            ParseOptionList(job, value);
            break;
        case OPT_ORIENTATION:
            job->orientation =
                EqualIgnoringAsciiCase(value, "landscape") ? DMORIENT_LANDSCAPE : DMORIENT_PORTRAIT;
            break;
        case OPT_PITCH:
            job->pitch = (int16_t)ReadOptionInteger(value);
            break;
        case OPT_WIDTH:
            job->width = ReadMeasurement(value);
            break;
        case OPT_LENGTH:
            job->length = ReadMeasurement(value);
            break;
        case OPT_SOURCE:
            ApplySourceOption(job, value);
            break;
        case OPT_LOG:
            OpenDebugLog(value);
            break;
    }
}

// Flag options: they only ever set their flag. The value plays no part, except that
// interactive=none asks for no windows instead of the print dialog.
static void ApplyFlagOption(PrintJob *job, int code, const char *value) {
    switch (code) {
        case OPT_COLLATE:
            job->collate = 1;
            break;
        case OPT_RULER:
            job->ruler = 1;
            break;
        case OPT_OEM:
            job->oem = 1;
            break;
        case OPT_ANSI:
            job->ansi = 1;
            break;
        case OPT_RAW:
            job->raw = 1;
            break;
        case OPT_INTERACTIVE:
            if (EqualIgnoringAsciiCase(value, "none"))
                job->no_windows = 1;
            else
                job->interactive = 1;
            break;
    }
}

// Applies one option at once. An option that matches no name is ignored without a word;
// options never report anything. Without "=", the value is "INVALID ARGUMENT" (a private
// copy each time, so splitting it as a list cannot change it for later options). Options
// that bring more options nest at most MAX_OPTION_NESTING deep; deeper ones are ignored.
void ParseOption(PrintJob *job, char *text) {
    const OptionEntry *option = FindOption(text);
    if (!option || !EnterOptionNesting()) return;
    char missing[sizeof MISSING_OPTION_VALUE];
    memcpy(missing, MISSING_OPTION_VALUE, sizeof missing);
    char *value = FindOptionValue(text);
    if (!value) value = missing;
    ApplyValueOption(job, option->code, value);
    ApplyFlagOption(job, option->code, value);
    LeaveOptionNesting();
}
