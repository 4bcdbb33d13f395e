// The spooler's part of the "windows" and "devices" profile sections: the default printer
// and every printer the spooler knows, for a profile file that does not name them itself.
#include <cstdio>
#include <cstring>

#include "core/hooks.h"
#include "spool/printer_registry.h"

namespace {

bool same_ascii(const char *a, const char *b) {
    for (;; a++, b++) {
        char x = (*a >= 'A' && *a <= 'Z') ? (char)(*a + 32) : *a;
        char y = (*b >= 'A' && *b <= 'Z') ? (char)(*b + 32) : *b;
        if (x != y) return false;
        if (!x) return true;
    }
}

}  // namespace

// "windows"/"device" gives "name,driver,port" of the default printer; "devices"/<name> gives
// "driver,port" of a known printer. False for anything else.
bool hook_spooler_profile_value(const char *section, const char *key, char *out, size_t size) {
    if (!section || !key || !out || size == 0) return false;
    PrinterInfo printer;
    char entry[1200];
    if (same_ascii(section, "windows") && same_ascii(key, "device")) {
        registry_default_printer(&printer);
        registry_profile_entry(&printer, entry, sizeof entry);
        snprintf(out, size, "%s,%s", printer.name, entry);
        return true;
    }
    if (same_ascii(section, "devices")) {
        DWORD error;
        if (!registry_find(key, &printer, &error)) return false;
        registry_profile_entry(&printer, entry, sizeof entry);
        snprintf(out, size, "%s", entry);
        return true;
    }
    return false;
}
