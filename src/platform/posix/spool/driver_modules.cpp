// LoadLibraryA, GetProcAddress and FreeLibrary for printer drivers: "pdf.drv", "ps.drv",
// "raw.drv" and "cups.drv" load as modules whose ExtDeviceMode entry hands out the DEVMODE of
// a printer, as the drivers of old Windows versions did for programs that talk to them
// directly.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <strings.h>

#include "core/handles.h"
#include "core/trace.h"
#include "platform/windows_services.h"
#include "spool/devmode_defaults.h"
#include "spool/printer_registry.h"

namespace {

struct DriverModule {
    PrinterDriver driver;
};

// The driver a file name names: its last path component must be "<driver>.drv".
PrinterDriver driver_of_file(const char *file) {
    const char *base = file;
    for (const char *p = file; *p; p++)
        if (*p == '/' || *p == '\\') base = p + 1;
    size_t n = strlen(base);
    if (n <= 4 || n > 40 || strcasecmp(base + n - 4, ".drv") != 0) return DRIVER_NONE;
    char name[40];
    memcpy(name, base, n - 4);
    name[n - 4] = 0;
    return registry_driver_of(name);
}

// The printer the driver is asked about: a known printer keeps its own settings; any other
// name is a printer of this driver on `port`.
void printer_of(PrinterDriver driver, const char *device, const char *port, PrinterInfo *out) {
    DWORD error;
    if (device && registry_find(device, out, &error)) return;
    char entry[1200];
    snprintf(entry, sizeof entry, "%s,%s",
             driver == DRIVER_CUPS ? "pdf" : registry_driver_name(driver), port ? port : "");
    memset(out, 0, sizeof *out);
    registry_parse_entry(entry, out);
    out->driver = driver;
    snprintf(out->name, sizeof out->name, "%s", device ? device : "");
}

// The drivers' ExtDeviceMode: mode 0 gives the DEVMODE's size, DM_OUT_BUFFER fills `out` with
// the printer's defaults (merged with `in` under DM_IN_BUFFER) and gives IDOK; -1 on failure.
UINT CALLBACK ext_device_mode(HWND, HMODULE module, LPDEVMODEA out, LPSTR device, LPSTR port,
                              LPDEVMODEA in, LPSTR, UINT mode) {
    DriverModule *m = (DriverModule *)handle_get(handle_of(module), HK_MODULE);
    if (!m) return (UINT)-1;
    PrinterInfo printer;
    printer_of(m->driver, device, port, &printer);
    return (UINT)devmode_query(&printer, out, in, mode);
}

}  // namespace

// Loads a printer driver module; null with ERROR_MOD_NOT_FOUND for any other file.
HMODULE WINAPI LoadLibraryA(LPCSTR file) {
    TraceLine t;
    trace_begin(&t, "LoadLibraryA");
    trace_str(&t, "file", file);
    PrinterDriver driver = file ? driver_of_file(file) : DRIVER_NONE;
    DriverModule *m = driver ? (DriverModule *)calloc(1, sizeof(DriverModule)) : nullptr;
    int handle = m ? handle_alloc(HK_MODULE, m) : 0;
    if (!handle) {
        free(m);
        SetLastError(driver ? ERROR_NOT_ENOUGH_MEMORY : ERROR_MOD_NOT_FOUND);
        return (HMODULE)trace_end_handle(&t, nullptr);
    }
    m->driver = driver;
    return (HMODULE)trace_end_handle(&t, handle_to<HMODULE>(handle));
}

// The driver's "ExtDeviceMode" entry; null with ERROR_PROC_NOT_FOUND for any other name, or
// ERROR_INVALID_HANDLE when the module is not a loaded driver.
FARPROC WINAPI GetProcAddress(HMODULE module, LPCSTR name) {
    TraceLine t;
    trace_begin(&t, "GetProcAddress");
    if (name && IS_INTRESOURCE(name))
        trace_int(&t, "name", (long long)(ULONG_PTR)name);  // an ordinal, not a text
    else
        trace_str(&t, "name", name);
    if (!handle_get(handle_of(module), HK_MODULE)) {
        SetLastError(ERROR_INVALID_HANDLE);
        return (FARPROC)trace_end_handle(&t, nullptr);
    }
    if (!name || IS_INTRESOURCE(name) || strcmp(name, "ExtDeviceMode") != 0) {
        SetLastError(ERROR_PROC_NOT_FOUND);
        return (FARPROC)trace_end_handle(&t, nullptr);
    }
    // Through the generic function type, which converts to and from any other without loss.
    FARPROC entry = reinterpret_cast<FARPROC>(reinterpret_cast<void (*)(void)>(ext_device_mode));
    return (FARPROC)trace_end_handle(&t, reinterpret_cast<void *>(entry));
}

// Unloads a driver module; FALSE with ERROR_INVALID_HANDLE for anything else.
BOOL WINAPI FreeLibrary(HMODULE module) {
    TraceLine t;
    trace_begin(&t, "FreeLibrary");
    trace_handle(&t, "module", module);
    void *m = handle_release(handle_of(module), HK_MODULE);
    if (!m) {
        SetLastError(ERROR_INVALID_HANDLE);
        return (BOOL)trace_end(&t, FALSE);
    }
    free(m);
    return (BOOL)trace_end(&t, TRUE);
}
