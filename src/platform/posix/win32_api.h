// The Win32 calls of the subset Pellmark uses, as the POSIX layer provides them.
//
// Each call keeps the documented signature and result conventions, so that the program's
// code compiles unchanged against these declarations and against the system headers.
#pragma once

#include <cstdarg>

#include "win32_types.h"

// The argument vector as the start-up code split it (msvcrt keeps the same two globals).
extern int __argc;
extern char **__argv;

// ---- kernel ---------------------------------------------------------------------------------
BOOL WINAPI GetVersionExA(LPOSVERSIONINFOA info);
void WINAPI DebugBreak(void);
BOOL WINAPI IsDebuggerPresent(void);
DWORD WINAPI GetProfileStringA(LPCSTR section, LPCSTR key, LPCSTR deflt, LPSTR out, DWORD size);
HFILE WINAPI _lopen(LPCSTR path, int mode);
UINT WINAPI _lread(HFILE file, LPVOID buffer, UINT count);
HFILE WINAPI _lclose(HFILE file);
DWORD WINAPI GetLastError(void);
void WINAPI SetLastError(DWORD code);
DWORD WINAPI FormatMessageA(DWORD flags, LPCVOID source, DWORD code, DWORD language, LPSTR buffer,
                            DWORD size, va_list *arguments);
HLOCAL WINAPI LocalFree(HLOCAL memory);
HGLOBAL WINAPI GlobalAlloc(UINT flags, SIZE_T bytes);
LPVOID WINAPI GlobalLock(HGLOBAL memory);
BOOL WINAPI GlobalUnlock(HGLOBAL memory);
HGLOBAL WINAPI GlobalFree(HGLOBAL memory);
SIZE_T WINAPI GlobalSize(HGLOBAL memory);
HMODULE WINAPI LoadLibraryA(LPCSTR file);
FARPROC WINAPI GetProcAddress(HMODULE module, LPCSTR name);
BOOL WINAPI FreeLibrary(HMODULE module);
int WINAPI MulDiv(int number, int numerator, int denominator);

// ---- graphics device interface --------------------------------------------------------------
HDC WINAPI CreateDCA(LPCSTR driver, LPCSTR device, LPCSTR port, const DEVMODEA *devmode);
BOOL WINAPI DeleteDC(HDC dc);
int WINAPI GetDeviceCaps(HDC dc, int index);
HFONT WINAPI CreateFontIndirectA(const LOGFONTA *font);
HGDIOBJ WINAPI SelectObject(HDC dc, HGDIOBJ object);
BOOL WINAPI DeleteObject(HGDIOBJ object);
BOOL WINAPI GetTextMetricsA(HDC dc, LPTEXTMETRICA metrics);
int WINAPI GetTextFaceA(HDC dc, int size, LPSTR face);
BOOL WINAPI TextOutA(HDC dc, int x, int y, LPCSTR text, int count);
BOOL WINAPI MoveToEx(HDC dc, int x, int y, LPPOINT previous);
BOOL WINAPI LineTo(HDC dc, int x, int y);
int WINAPI SetBkMode(HDC dc, int mode);
int WINAPI Escape(HDC dc, int escape, int count, LPCSTR in, LPVOID out);
int WINAPI SetAbortProc(HDC dc, ABORTPROC proc);
int WINAPI StartDocA(HDC dc, const DOCINFOA *info);
int WINAPI StartPage(HDC dc);
int WINAPI EndPage(HDC dc);
int WINAPI EndDoc(HDC dc);
int WINAPI AbortDoc(HDC dc);

// ---- spooler and common dialog --------------------------------------------------------------
BOOL WINAPI OpenPrinterA(LPSTR name, LPHANDLE printer, LPPRINTER_DEFAULTSA defaults);
BOOL WINAPI ClosePrinter(HANDLE printer);
LONG WINAPI DocumentPropertiesA(HWND window, HANDLE printer, LPSTR device, PDEVMODEA out,
                                PDEVMODEA in, DWORD mode);
BOOL WINAPI PrintDlgA(LPPRINTDLGA dialog);
DWORD WINAPI CommDlgExtendedError(void);

// ---- user interface -------------------------------------------------------------------------
INT_PTR WINAPI DialogBoxParamA(HINSTANCE instance, LPCSTR templ, HWND owner, DLGPROC proc,
                               LPARAM param);
HWND WINAPI CreateDialogParamA(HINSTANCE instance, LPCSTR templ, HWND owner, DLGPROC proc,
                               LPARAM param);
HWND WINAPI GetDlgItem(HWND dialog, int id);
LRESULT WINAPI SendMessageA(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
BOOL WINAPI PostMessageA(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
HWND WINAPI SetFocus(HWND window);
HWND WINAPI GetFocus(void);
BOOL WINAPI EndDialog(HWND dialog, INT_PTR result);
BOOL WINAPI SetWindowTextA(HWND window, LPCSTR text);
int WINAPI GetWindowTextA(HWND window, LPSTR text, int size);
BOOL WINAPI SetDlgItemTextA(HWND dialog, int id, LPCSTR text);
UINT WINAPI GetDlgItemTextA(HWND dialog, int id, LPSTR text, int size);
BOOL WINAPI DestroyWindow(HWND window);
BOOL WINAPI PeekMessageA(LPMSG msg, HWND window, UINT first, UINT last, UINT remove);
BOOL WINAPI IsDialogMessageA(HWND dialog, LPMSG msg);
BOOL WINAPI TranslateMessage(const MSG *msg);
LRESULT WINAPI DispatchMessageA(const MSG *msg);
int WINAPI MessageBoxA(HWND owner, LPCSTR text, LPCSTR caption, UINT type);
BOOL WINAPI CharToOemA(LPCSTR source, LPSTR destination);
BOOL WINAPI OemToCharA(LPCSTR source, LPSTR destination);
int WINAPIV wsprintfA(LPSTR buffer, LPCSTR format, ...);
int WINAPI wvsprintfA(LPSTR buffer, LPCSTR format, va_list arguments);

// The program's own entry point, called by the POSIX start-up code.
int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR command_line, int show);
