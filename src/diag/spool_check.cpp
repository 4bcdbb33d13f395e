// The check of a printing call's result: a negative result is a spooler error code, and the
// user is told about it in a message box.
#include "diag/spool_check.h"

#include <cstring>

// Texts for the spooler codes -1 .. -5, indexed by the negated result less one.
static const char *const spool_error_texts[] = {
    "Unknown general error",        // SP_ERROR
    "Abort by application",         // SP_APPABORT
    "User Abort by Print Manager",  // SP_USERABORT
    "Out of disk",                  // SP_OUTOFDISK
    "Out of memory",                // SP_OUTOFMEMORY
};
const int SPOOL_ERROR_COUNT = 5;

// The callers pass the names of the four printing calls. A longer name is cut here so that
// the message can never outgrow its buffer: 20 name characters, the longest text (27), the
// smallest int (11 digits and sign) and the fixed words stay below 80 bytes.
const int SPOOL_NAME_SIZE = 21;

// Fills `text` with "<name> returned <result> (<meaning>)."; a code the platform does not
// define (below -5) is shown as an unknown spooler error rather than read out of the table.
int FormatSpoolMessage(char *text, const char *name, int result) {
    char short_name[SPOOL_NAME_SIZE];
    strncpy(short_name, name, sizeof short_name - 1);
    short_name[sizeof short_name - 1] = 0;
    const char *meaning = "Unknown spooler error";
    if (result < 0 && result >= -SPOOL_ERROR_COUNT) meaning = spool_error_texts[-result - 1];
    return wsprintfA(text, "%s returned %i (%s).", short_name, result, meaning);
}

// Returns false for a result of 0 or more (nothing shown). For a negative result shows a
// modal error box with the platform's default title and an OK button, waits for it to close
// and returns true; what to do next is the caller's decision. Not written to the debug log.
BOOL CheckSpoolResult(const char *name, int result) {
    if (result >= 0) return FALSE;
    char text[SPOOL_MESSAGE_SIZE];
    FormatSpoolMessage(text, name, result);
    MessageBoxA(nullptr, text, nullptr, MB_OK | MB_ICONERROR);
    return TRUE;
}
