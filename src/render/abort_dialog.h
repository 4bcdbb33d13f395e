// The progress dialog and the abort procedure.
#pragma once

#include "platform/windows_services.h"

extern int user_abort;
extern HWND progress_dialog;
extern HWND status_dialog;

// Exported by name from the program's module.
extern "C" INT_PTR CALLBACK AbrtDlgP(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
extern "C" BOOL CALLBACK AbrtProc(HDC dc, int error);
