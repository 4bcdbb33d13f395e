// CharToOemA and OemToCharA: one byte for each byte, terminator included.
#include "core/trace.h"
#include "gdi/code_pages.h"
#include "platform/windows_services.h"

namespace {

BOOL translate(const char *fn, const unsigned char table[256], LPCSTR source, LPSTR target) {
    TraceLine t;
    trace_begin(&t, fn);
    trace_str(&t, "text", source);
    if (!source || !target) return (BOOL)trace_end(&t, FALSE);
    // Byte by byte, so translating a text onto itself works too.
    for (size_t i = 0;; i++) {
        unsigned char b = (unsigned char)source[i];
        target[i] = (char)table[b];
        if (b == 0) break;
    }
    return (BOOL)trace_end(&t, TRUE);
}

}  // namespace

// Windows-1252 text to code page 437; FALSE for a null text or destination.
BOOL WINAPI CharToOemA(LPCSTR source, LPSTR target) {
    return translate("CharToOemA", ansi_to_oem, source, target);
}

// Code page 437 text to Windows-1252; FALSE for a null text or destination.
BOOL WINAPI OemToCharA(LPCSTR source, LPSTR target) {
    return translate("OemToCharA", oem_to_ansi, source, target);
}
