// OpenPrinterA, ClosePrinter and DocumentPropertiesA: printer handles of the spooler.
#include <cstdlib>
#include <cstring>

#include "core/handles.h"
#include "core/trace.h"
#include "platform/windows_services.h"
#include "spool/devmode_defaults.h"
#include "spool/printer_registry.h"

// Opens a printer by name. Result TRUE with *printer set; FALSE with the last error set to
// 1801 for an unknown printer or the CUPS client's code when the scheduler cannot be asked.
BOOL WINAPI OpenPrinterA(LPSTR name, LPHANDLE printer, LPPRINTER_DEFAULTSA) {
    TraceLine t;
    trace_begin(&t, "OpenPrinterA");
    trace_str(&t, "name", name);
    if (printer) *printer = nullptr;
    long long forced;
    if (fault_check("OpenPrinterA", &forced)) {
        if (forced == 0) SetLastError(ERROR_INVALID_PRINTER_NAME);
        trace_int(&t, "error", forced == 0 ? ERROR_INVALID_PRINTER_NAME : 0);
        return (BOOL)trace_fault(&t, forced);
    }
    DWORD error = ERROR_INVALID_PARAMETER;
    PrinterInfo *info = (PrinterInfo *)calloc(1, sizeof(PrinterInfo));
    int handle = 0;
    if (printer && info && registry_find(name, info, &error)) {
        handle = handle_alloc(HK_PRINTER, info);
        if (!handle) error = ERROR_NOT_ENOUGH_MEMORY;
    } else if (!info) {
        error = ERROR_NOT_ENOUGH_MEMORY;
    }
    if (!handle) {
        free(info);
        SetLastError(error);
        trace_int(&t, "error", error);
        return (BOOL)trace_end(&t, FALSE);
    }
    *printer = handle_to<HANDLE>(handle);
    trace_int(&t, "error", 0);
    return (BOOL)trace_end(&t, TRUE);
}

// Releases a handle from OpenPrinterA; FALSE with ERROR_INVALID_HANDLE for anything else.
BOOL WINAPI ClosePrinter(HANDLE printer) {
    TraceLine t;
    trace_begin(&t, "ClosePrinter");
    trace_handle(&t, "printer", printer);
    void *info = handle_release(handle_of(printer), HK_PRINTER);
    if (!info) {
        SetLastError(ERROR_INVALID_HANDLE);
        return (BOOL)trace_end(&t, FALSE);
    }
    free(info);
    return (BOOL)trace_end(&t, TRUE);
}

// The printer's DEVMODE: mode 0 gives its size, DM_OUT_BUFFER fills `out` with the defaults
// merged with `in` under DM_IN_BUFFER. A bad handle gives -1 with ERROR_INVALID_HANDLE.
LONG WINAPI DocumentPropertiesA(HWND, HANDLE printer, LPSTR device, PDEVMODEA out, PDEVMODEA in,
                                DWORD mode) {
    TraceLine t;
    trace_begin(&t, "DocumentPropertiesA");
    trace_str(&t, "device", device);
    trace_int(&t, "mode", mode);
    const PrinterInfo *info = (const PrinterInfo *)handle_get(handle_of(printer), HK_PRINTER);
    if (!info) {
        SetLastError(ERROR_INVALID_HANDLE);
        trace_null(&t, "devmode");
        return (LONG)trace_end(&t, -1);
    }
    LONG result = devmode_query(info, out, in, mode);
    if (result == IDOK && out && (mode & DM_OUT_BUFFER))
        trace_devmode(&t, "devmode", out);
    else
        trace_null(&t, "devmode");
    return (LONG)trace_end(&t, result);
}
