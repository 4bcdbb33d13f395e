// The progress dialog and the abort procedure: placeholder until they land.
#include "render/abort_dialog.h"

int user_abort = 0;
HWND progress_dialog = nullptr;
HWND status_dialog = nullptr;

extern "C" INT_PTR CALLBACK AbrtDlgP(HWND, UINT, WPARAM, LPARAM) { return FALSE; }
extern "C" BOOL CALLBACK AbrtProc(HDC, int) { return user_abort == 0; }
