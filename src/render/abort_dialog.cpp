// The progress dialog's procedure and the abort procedure the system calls while printing.
#include "render/abort_dialog.h"

int user_abort = 0;
HWND progress_dialog = nullptr;
HWND status_dialog = nullptr;

// The progress dialog (AbrtDlg). Initialising remembers the dialog for the page texts; any
// command (the Cancel button, Esc, Enter) asks the printing to stop. The dialog stays until
// the composer destroys it, and then it is forgotten.
extern "C" INT_PTR CALLBACK AbrtDlgP(HWND window, UINT message, WPARAM, LPARAM) {
    switch (LOWORD(message)) {
        case WM_INITDIALOG:
            SetWindowTextA(window, "Spooling");
            status_dialog = window;
            return TRUE;
        case WM_COMMAND:
            user_abort = 1;
            return TRUE;
        case WM_DESTROY:
            // The page texts must not reach a dialog that is gone.
            if (status_dialog == window) status_dialog = nullptr;
            return FALSE;
        default:
            return FALSE;
    }
}

// Called from inside the printing calls: empties the thread's queue without waiting, so the
// dialog's button and keys work, then tells the system whether to go on (TRUE) or to stop
// because the user cancelled (FALSE). Both arguments are unused.
extern "C" BOOL CALLBACK AbrtProc(HDC, int) {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (progress_dialog && IsDialogMessageA(progress_dialog, &msg)) continue;
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return user_abort == 0;
}
