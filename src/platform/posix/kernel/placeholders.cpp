// Placeholders for calls of this area that are not written yet: each fails cleanly.
// The owner of the area removes a placeholder when the real call lands.
#include "platform/windows_services.h"

BOOL WINAPI GetVersionExA(LPOSVERSIONINFOA) { return 0; }
void WINAPI DebugBreak(void) {}
BOOL WINAPI IsDebuggerPresent(void) { return 0; }
DWORD WINAPI FormatMessageA(DWORD, LPCVOID, DWORD, DWORD, LPSTR, DWORD, va_list *) { return 0; }
HLOCAL WINAPI LocalFree(HLOCAL) { return 0; }
HGLOBAL WINAPI GlobalAlloc(UINT, SIZE_T) { return 0; }
LPVOID WINAPI GlobalLock(HGLOBAL) { return 0; }
BOOL WINAPI GlobalUnlock(HGLOBAL) { return 0; }
HGLOBAL WINAPI GlobalFree(HGLOBAL) { return 0; }
SIZE_T WINAPI GlobalSize(HGLOBAL) { return 0; }
int WINAPI MulDiv(int, int, int) { return 0; }
