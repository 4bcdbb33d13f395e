// Placeholders for calls of this area that are not written yet: each fails cleanly.
// The owner of the area removes a placeholder when the real call lands.
#include "platform/windows_services.h"

INT_PTR WINAPI DialogBoxParamA(HINSTANCE, LPCSTR, HWND, DLGPROC, LPARAM) { return 0; }
HWND WINAPI CreateDialogParamA(HINSTANCE, LPCSTR, HWND, DLGPROC, LPARAM) { return 0; }
HWND WINAPI GetDlgItem(HWND, int) { return 0; }
LRESULT WINAPI SendMessageA(HWND, UINT, WPARAM, LPARAM) { return 0; }
BOOL WINAPI PostMessageA(HWND, UINT, WPARAM, LPARAM) { return 0; }
HWND WINAPI SetFocus(HWND) { return 0; }
HWND WINAPI GetFocus(void) { return 0; }
BOOL WINAPI EndDialog(HWND, INT_PTR) { return 0; }
BOOL WINAPI SetWindowTextA(HWND, LPCSTR) { return 0; }
int WINAPI GetWindowTextA(HWND, LPSTR, int) { return 0; }
BOOL WINAPI SetDlgItemTextA(HWND, int, LPCSTR) { return 0; }
UINT WINAPI GetDlgItemTextA(HWND, int, LPSTR, int) { return 0; }
BOOL WINAPI DestroyWindow(HWND) { return 0; }
BOOL WINAPI PeekMessageA(LPMSG, HWND, UINT, UINT, UINT) { return 0; }
BOOL WINAPI IsDialogMessageA(HWND, LPMSG) { return 0; }
BOOL WINAPI TranslateMessage(const MSG *) { return 0; }
LRESULT WINAPI DispatchMessageA(const MSG *) { return 0; }

#include "core/hooks.h"
void hook_after_start_page(HDC) {}
