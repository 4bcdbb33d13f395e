// Placeholders for calls of this area that are not written yet: each fails cleanly.
// The owner of the area removes a placeholder when the real call lands.
#include "platform/windows_services.h"

HMODULE WINAPI LoadLibraryA(LPCSTR) { return 0; }
FARPROC WINAPI GetProcAddress(HMODULE, LPCSTR) { return 0; }
BOOL WINAPI FreeLibrary(HMODULE) { return 0; }
