// What the print dialog needs to know about printers, from the spooler's own tables.
#include "comdlg/dialog_printers.h"

#include <cstdio>
#include <cstring>

#include "kernel/profile.h"
#include "platform/windows_services.h"
#include "spool/devmode_defaults.h"
#include "spool/printer_registry.h"

void dialog_default_printer(char *out, size_t size) {
    // The profile's "windows"/"device" value names it first, as "name,driver,port".
    char value[256];
    if (profile_file_value("windows", "device", value, sizeof value)) {
        size_t n = strcspn(value, ",");
        if (n > 0) {
            snprintf(out, size, "%.*s", (int)n, value);
            return;
        }
    }
    PrinterInfo printer;
    registry_default_printer(&printer);
    snprintf(out, size, "%s", printer.name);
}

bool dialog_printer_exists(const char *name) {
    PrinterInfo printer;
    DWORD error;
    return name[0] && registry_find(name, &printer, &error);
}

HGLOBAL dialog_default_devmode(const char *name) {
    PrinterInfo printer;
    DWORD error;
    if (!registry_find(name, &printer, &error)) return nullptr;
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, (SIZE_T)PRINTER_DEVMODE_SIZE);
    DEVMODEA *devmode = block ? (DEVMODEA *)GlobalLock(block) : nullptr;
    if (!devmode) {
        if (block) GlobalFree(block);
        return nullptr;
    }
    devmode_defaults(&printer, devmode);
    GlobalUnlock(block);
    return block;
}
