// Printer selection and device mode: chooses the printer for one report file, fetches and
// edits its device mode, shows the print dialog when asked, and creates the device context.
//
// Two roads: under Win32s (platform id 0) the printer comes from the profile's "devices"
// section and its driver module supplies the device mode through ExtDeviceMode; everywhere
// else the spooler opens the printer and DocumentPropertiesA supplies it.
#include "printer/printer_setup.h"

#include <cstdlib>
#include <cstring>

#include "diag/debug_log.h"
#include "job/startup.h"
#include "printer/dev_names.h"
#include "printer/devmode_edit.h"
#include "printer/printer_road.h"

static const char OPEN_CAPTION[] = "Pellmark - Can't Open Printer";

// Fills an empty printer_id with the default printer's profile value "printer,driver,port"
// (",,," when there is none), which then stays for every later report file.
static void UseDefaultPrinter(PrintJob *job) {
    if (job->printer_id[0]) return;
    GetProfileStringA("windows", "device", ",,,", job->printer_id, PRINTER_ID_SIZE);
    DebugPrintf("NULL printer_id specified, using default of %s\n", job->printer_id);
}

// The printer name is the first run of characters without a comma; leading commas are
// skipped. The comma that ends the run is overwritten in the job's own text, so printer_id
// keeps only what precedes it. Result: the name inside printer_id, empty for commas only.
static char *CutPrinterName(PrintJob *job) {
    char *name = job->printer_id;
    while (*name == ',') ++name;
    char *comma = strchr(name, ',');
    if (comma) *comma = 0;
    return name;
}

// Shows the device mode to the user in the print dialog. The block is unlocked while the
// dialog owns it and locked again afterwards; the dialog may hand back another block and
// names the printer the user chose in hDevNames. Result: false when the user cancelled or
// the dialog failed. Either way the blocks the dialog hands back stay in `setup` for the
// caller to free.
static bool RunPrintDialog(PrinterSetup *setup) {
    if (setup->devmode) GlobalUnlock(setup->block);
    setup->devmode = nullptr;
    PRINTDLGA dialog;
    memset(&dialog, 0, sizeof dialog);
    // The published 66 bytes are the packed 32-bit layout; a 64-bit build lays the structure
    // out larger, and the dialog checks the size of the structure as this build has it.
    dialog.lStructSize = sizeof dialog;
    dialog.hDevMode = setup->block;
    dialog.Flags = PD_NOSELECTION | PD_NOPAGENUMS;
    BOOL chosen = PrintDlgA(&dialog);
    setup->block = dialog.hDevMode;
    setup->names = dialog.hDevNames;
    if (!chosen) return false;
    if (setup->block) setup->devmode = (DEVMODEA *)GlobalLock(setup->block);
    return true;
}

// Gives back the device mode and the dialog's printer names, whichever exist.
static void FreeSetupMemory(PrinterSetup *setup) {
    if (setup->block) {
        if (setup->devmode) GlobalUnlock(setup->block);
        GlobalFree(setup->block);
    }
    if (setup->names) GlobalFree(setup->names);
    setup->block = nullptr;
    setup->devmode = nullptr;
    setup->names = nullptr;
}

// True when the dialog's printer is another one than `printer`. A device mode holds at most
// CCHDEVICENAME - 1 characters of a name, so a dialog that names the printer from it may
// hand back the name cut to that length: that is still the same printer.
static bool IsOtherPrinter(const char *chosen, const char *printer) {
    if (!strcmp(chosen, printer)) return false;
    size_t n = strlen(chosen);
    return !(n == CCHDEVICENAME - 1 && !strncmp(chosen, printer, n));
}

// Creates the device context for the printer of this report: the one the user chose in the
// print dialog when there was one, so that its own device mode is never applied to another
// printer; else the printer named by printer_id.
static HDC CreatePrinterDC(const PrinterSetup *setup) {
    ChosenPrinter chosen;
    bool other =
        ReadChosenPrinter(setup->names, &chosen) && IsOtherPrinter(chosen.device, setup->printer);
    if (setup->win32s) {
        if (other) return CreateDCA(chosen.driver, chosen.device, chosen.port, setup->devmode);
        return CreateDCA(setup->driver, setup->printer, setup->port, setup->devmode);
    }
    return CreateDCA("WINSPOOL", other ? chosen.device : setup->printer, nullptr, setup->devmode);
}

BYTE SetupPrinter(PrintJob *job) {
    PrinterSetup setup;
    memset(&setup, 0, sizeof setup);
    setup.win32s = platform_id == VER_PLATFORM_WIN32s;
    UseDefaultPrinter(job);
    setup.printer = CutPrinterName(job);
    if (setup.win32s) {
        OpenDriverPrinter(job, &setup, OPEN_CAPTION);
        FetchDriverDevMode(&setup);
    } else {
        OpenSpoolerPrinter(job, &setup, OPEN_CAPTION);
        FetchSpoolerDevMode(job, &setup);
    }
    if (setup.devmode) EditDevMode(job, setup.devmode);
    if (job->interactive && !RunPrintDialog(&setup)) {
        FreeSetupMemory(&setup);
        job->printer_dc = nullptr;
        return 0;
    }
    job->printer_dc = CreatePrinterDC(&setup);
    // The address shows its low 32 bits, as on the 32-bit build; 0 means no device mode.
    DebugPrintf("CreateDC returned %d given a DevMode = %x\n", (int)(INT_PTR)job->printer_dc,
                (unsigned)(UINT_PTR)setup.devmode);
    FreeSetupMemory(&setup);
    return 1;
}
