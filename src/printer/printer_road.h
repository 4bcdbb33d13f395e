// The two roads to a printer and its default device mode: the Win32s road through the
// profile's "devices" section and the driver's ExtDeviceMode, and the spooler road.
#pragma once

#include "job/print_job.h"

// The Win32s road keeps its texts in buffers of the profile entry's size.
const int DRIVER_TEXT_SIZE = 80;

// Working state of one SetupPrinter call.
struct PrinterSetup {
    bool win32s;
    char *printer;  // the printer name, inside the job's printer_id
    // Win32s road: the "devices" entry and the two names taken from it.
    char entry[DRIVER_TEXT_SIZE];
    char driver[DRIVER_TEXT_SIZE];
    char port[DRIVER_TEXT_SIZE];
    HMODULE module;  // the loaded driver, until the device mode is fetched
    FARPROC ext_device_mode;
    HANDLE spooler;     // spooler road: the open printer, until the device mode is fetched
    HGLOBAL block;      // the device mode's movable memory, or none
    DEVMODEA *devmode;  // the block locked, or null when there is no device mode
    HGLOBAL names;      // DEVNAMES handed back by the print dialog, or none
};

// Win32s road: finds the printer's "devices" entry and loads its driver module. A printer
// without an entry (or no printer name at all) is told in a message box with `caption`, and
// the program ends with status 0. A driver that cannot be loaded or lacks ExtDeviceMode
// leaves no entry point, so the printer runs on its driver's defaults.
void OpenDriverPrinter(PrintJob *job, PrinterSetup *setup, const char *caption);
// Win32s road: asks the driver for its default device mode and releases the driver module.
// Leaves no device mode when there is no entry point or the memory cannot be had.
void FetchDriverDevMode(PrinterSetup *setup);

// Spooler road: opens printer_id, asking Retry/Cancel with the system's text for each
// failure; Cancel ends the program with status 0.
void OpenSpoolerPrinter(PrintJob *job, PrinterSetup *setup, const char *caption);
// Spooler road: fetches the printer's default device mode and closes the printer. Leaves no
// device mode when the size is unusable or the memory cannot be had.
void FetchSpoolerDevMode(PrintJob *job, PrinterSetup *setup);
