// Placeholders for calls of this area that are not written yet: each fails cleanly.
// The owner of the area removes a placeholder when the real call lands.
#include "platform/windows_services.h"

HDC WINAPI CreateDCA(LPCSTR, LPCSTR, LPCSTR, const DEVMODEA *) { return 0; }
BOOL WINAPI DeleteDC(HDC) { return 0; }
int WINAPI GetDeviceCaps(HDC, int) { return 0; }
HFONT WINAPI CreateFontIndirectA(const LOGFONTA *) { return 0; }
HGDIOBJ WINAPI SelectObject(HDC, HGDIOBJ) { return 0; }
BOOL WINAPI DeleteObject(HGDIOBJ) { return 0; }
BOOL WINAPI GetTextMetricsA(HDC, LPTEXTMETRICA) { return 0; }
int WINAPI GetTextFaceA(HDC, int, LPSTR) { return 0; }
BOOL WINAPI TextOutA(HDC, int, int, LPCSTR, int) { return 0; }
BOOL WINAPI MoveToEx(HDC, int, int, LPPOINT) { return 0; }
BOOL WINAPI LineTo(HDC, int, int) { return 0; }
int WINAPI SetBkMode(HDC, int) { return 0; }
int WINAPI Escape(HDC, int, int, LPCSTR, LPVOID) { return 0; }
int WINAPI SetAbortProc(HDC, ABORTPROC) { return 0; }
int WINAPI StartDocA(HDC, const DOCINFOA *) { return 0; }
int WINAPI StartPage(HDC) { return 0; }
int WINAPI EndPage(HDC) { return 0; }
int WINAPI EndDoc(HDC) { return 0; }
int WINAPI AbortDoc(HDC) { return 0; }
BOOL WINAPI OpenPrinterA(LPSTR, LPHANDLE, LPPRINTER_DEFAULTSA) { return 0; }
BOOL WINAPI ClosePrinter(HANDLE) { return 0; }
LONG WINAPI DocumentPropertiesA(HWND, HANDLE, LPSTR, PDEVMODEA, PDEVMODEA, DWORD) { return 0; }
HMODULE WINAPI LoadLibraryA(LPCSTR) { return 0; }
FARPROC WINAPI GetProcAddress(HMODULE, LPCSTR) { return 0; }
BOOL WINAPI FreeLibrary(HMODULE) { return 0; }
BOOL WINAPI CharToOemA(LPCSTR, LPSTR) { return 0; }
BOOL WINAPI OemToCharA(LPCSTR, LPSTR) { return 0; }

#include "core/hooks.h"
bool hook_spooler_profile_value(const char *, const char *, char *, size_t) { return false; }
