// Seams between areas of the POSIX layer, so that one area can tell another of an event
// without depending on its insides.
#pragma once

#include "../win32_types.h"

// Called by StartPage after it returned successfully: the user-interface layer uses it for
// the progress dialog's Cancel fault knob ("Cancel#n=1": the click is queued right after the
// n-th StartPage).
void hook_after_start_page(HDC dc);

// Values of the "windows" and "devices" profile sections that the spooler supplies when the
// profile file has none: "windows"/"device" is the default printer as "name,driver,port", and
// "devices"/<name> is "driver,port" of every printer the spooler knows. Writes the value
// (cut to size - 1) and returns true when there is one.
bool hook_spooler_profile_value(const char *section, const char *key, char *out, size_t size);
