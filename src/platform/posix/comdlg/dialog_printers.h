// What the print dialog needs to know about printers, asked of the spooler's own tables so
// that the dialog's look-ups neither show in the call trace nor count as the program's calls
// for the fault knob.
#pragma once

#include <cstddef>

#include "win32_types.h"

// The default printer's name ("PDF" when nothing else is configured), cut to size - 1.
void dialog_default_printer(char *out, size_t size);
// True when the spooler knows a printer of that name.
bool dialog_printer_exists(const char *name);
// A new movable, unlocked block holding the printer's default DEVMODE; null when the printer
// is unknown or memory is short.
HGLOBAL dialog_default_devmode(const char *name);
