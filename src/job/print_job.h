// The one record that carries a print job through the program: the settings gathered from
// the options and the state of the report file that is printing now. One per run, created
// and zeroed by the argument loop, never reset between report files.
#pragma once

#include "platform/windows_services.h"

// Capacities of the text fields, terminator included.
const int PRINTER_ID_SIZE = 100;
const int FORM_ID_SIZE = 32;    // the device mode's form name holds as much
const int FONT_NAME_SIZE = 32;  // a LOGFONTA face name holds as much
// The job keeps its own copy of the configuration file name; a longer name is cut.
const int CONFIG_NAME_SIZE = 1024;

struct PrintJob {
    const char *report_name;             // the argument's own text; valid for the whole run
    char config_name[CONFIG_NAME_SIZE];  // most recent `config` value; empty when none
    HFILE report_file;  // open report file; 0 before the first, HFILE_ERROR after a failed open
    BYTE scratch;       // delete the report (and config file) after printing
    BYTE ruler;
    char printer_id[PRINTER_ID_SIZE];  // empty: the default printer
    char form_id[FORM_ID_SIZE];
    int32_t copies;             // 1 by default
    int32_t width;              // tenths of a millimetre; 0 = not given
    int32_t length;             // tenths of a millimetre; 0 = not given
    int16_t orientation;        // DMORIENT_PORTRAIT (1) or DMORIENT_LANDSCAPE (2)
    int16_t pitch;              // points; 0 = the printer's default font size
    char font[FONT_NAME_SIZE];  // empty: the printer's default face
    BYTE collate;
    BYTE interactive;
    int16_t source;  // DMBIN_ code; 0 = not given
    BYTE oem;
    BYTE ansi;
    HDC printer_dc;  // not null only while a report prints
    BYTE raw;
    BYTE no_windows;
    // Not a setting: whether the last report was printed to its end (the document ended and
    // the user did not cancel). The disposition deletes only a printed report.
    BYTE printed;
};

// Zeroes the job, then copies = 1 and orientation = portrait.
void InitPrintJob(PrintJob *job);
