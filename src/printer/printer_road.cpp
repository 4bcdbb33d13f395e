// The two roads to a printer and its default device mode.
#include "printer/printer_road.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "diag/debug_log.h"

// The driver module's entry that reads and writes its device mode (the Win32s interface).
typedef UINT(CALLBACK *ExtDeviceModeProc)(HWND, HMODULE, LPDEVMODEA, LPSTR, LPSTR, LPDEVMODEA,
                                          LPSTR, UINT);

// Largest device mode a driver can describe: dmSize and dmDriverExtra are both 16 bits.
const long long DEVMODE_SIZE_LIMIT = 2 * 0xFFFFLL;

// Allocates and locks zeroed movable memory for a device mode of `size` bytes, as the driver
// asked. A size of 0, a negative one or one beyond any DEVMODE is unusable and gives no
// device mode. The block is never smaller than the published DEVMODE, so editing its fields
// stays inside it even when a driver reports a shorter layout.
static void AllocDevMode(long long size, PrinterSetup *setup) {
    setup->block = nullptr;
    setup->devmode = nullptr;
    if (size <= 0 || size > DEVMODE_SIZE_LIMIT) return;
    SIZE_T bytes = (SIZE_T)size < sizeof(DEVMODEA) ? sizeof(DEVMODEA) : (SIZE_T)size;
    setup->block = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, bytes);
    if (!setup->block) return;
    setup->devmode = (DEVMODEA *)GlobalLock(setup->block);
    if (setup->devmode) return;
    GlobalFree(setup->block);
    setup->block = nullptr;
}

// Splits a "devices" entry "driver,port[,port...]" at commas and blanks: the first run of
// other characters is the driver, the next one the port. Both stay empty when missing.
static void SplitDevicesEntry(PrinterSetup *setup) {
    char *out[2] = {setup->driver, setup->port};
    const char *p = setup->entry;
    for (int i = 0; i < 2; ++i) {
        out[i][0] = 0;
        while (*p == ',' || *p == ' ') ++p;
        size_t n = strcspn(p, ", ");
        // Both buffers are as large as the entry, so a run always fits.
        memcpy(out[i], p, n);
        out[i][n] = 0;
        p += n;
    }
}

// Tells that the printer has no "devices" entry and ends the program. The 80-byte text is
// cut when the printer name is too long for it.
[[noreturn]] static void RefuseUnknownPrinter(const char *printer, const char *caption) {
    char text[DRIVER_TEXT_SIZE];
    snprintf(text, sizeof text, "Cannot Find Requested Printer (%s)", printer);
    MessageBoxA(nullptr, text, caption, MB_OK);
    exit(0);
}

// Loads "<driver>.drv" and looks up its ExtDeviceMode. A file name too long for its 80 bytes
// is not loaded at all: a cut name could load some other driver.
static void LoadDriver(PrinterSetup *setup) {
    char file[DRIVER_TEXT_SIZE];
    int n = snprintf(file, sizeof file, "%s.drv", setup->driver);
    bool whole = n >= 0 && n < (int)sizeof file;
    setup->module = whole ? LoadLibraryA(file) : nullptr;
    setup->ext_device_mode =
        setup->module ? GetProcAddress(setup->module, "ExtDeviceMode") : nullptr;
    // Handles and addresses show their low 32 bits, as on the 32-bit build; 0 when missing.
    DebugPrintf("Tried to load %s - got hDriver = %x, ExtDeviceModeFn = %x\n", file,
                (unsigned)(UINT_PTR)setup->module,
                (unsigned)(UINT_PTR)(void *)setup->ext_device_mode);
}

void OpenDriverPrinter(PrintJob *job, PrinterSetup *setup, const char *caption) {
    (void)job;
    setup->entry[0] = 0;
    // A printer_id of commas only names no printer: there is no key to look up, so it is
    // refused like a printer without an entry.
    if (setup->printer[0])
        GetProfileStringA("devices", setup->printer, "", setup->entry, sizeof setup->entry);
    if (!setup->entry[0]) RefuseUnknownPrinter(setup->printer, caption);
    SplitDevicesEntry(setup);
    DebugPrintf("Running under Win32s - printer = %s, driver = %s, port = %s\n", setup->printer,
                setup->driver, setup->port);
    LoadDriver(setup);
}

void FetchDriverDevMode(PrinterSetup *setup) {
    if (setup->ext_device_mode) {
        // FARPROC stands for any entry point; going through void (*)(void) says so to the
        // compiler.
        ExtDeviceModeProc ext = reinterpret_cast<ExtDeviceModeProc>(
            reinterpret_cast<void (*)(void)>(setup->ext_device_mode));
        UINT size =
            ext(nullptr, setup->module, nullptr, setup->printer, setup->port, nullptr, nullptr, 0);
        // The size is the driver's int: a negative one is an error and unusable.
        AllocDevMode((int)size, setup);
        if (setup->devmode)
            ext(nullptr, setup->module, setup->devmode, setup->printer, setup->port, nullptr,
                nullptr, DM_OUT_BUFFER);
    }
    // The module is given back also when it has no ExtDeviceMode.
    if (setup->module) FreeLibrary(setup->module);
    setup->module = nullptr;
    setup->ext_device_mode = nullptr;
}

void OpenSpoolerPrinter(PrintJob *job, PrinterSetup *setup, const char *caption) {
    for (;;) {
        setup->spooler = nullptr;
        OpenPrinterA(job->printer_id, &setup->spooler, nullptr);
        if (setup->spooler) return;
        DWORD error = GetLastError();
        char *text = nullptr;
        FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM, nullptr, error,
                       MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT), (LPSTR)&text, 0, nullptr);
        int answer = MessageBoxA(nullptr, text ? text : "", caption, MB_RETRYCANCEL);
        if (text) LocalFree(text);
        // Only Retry tries again: a box that failed (0) must not loop for ever.
        if (answer != IDRETRY) exit(0);
    }
}

void FetchSpoolerDevMode(PrintJob *job, PrinterSetup *setup) {
    LONG size = DocumentPropertiesA(nullptr, setup->spooler, job->printer_id, nullptr, nullptr, 0);
    AllocDevMode(size, setup);
    if (setup->devmode)
        DocumentPropertiesA(nullptr, setup->spooler, job->printer_id, setup->devmode, nullptr,
                            DM_OUT_BUFFER);
    // The printer handle served only the two queries.
    ClosePrinter(setup->spooler);
    setup->spooler = nullptr;
}
