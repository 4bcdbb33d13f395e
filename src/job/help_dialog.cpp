// The option help dialog: placeholder until the dialog lands.
#include "job/help_dialog.h"

INT_PTR CALLBACK HelpDlgProc(HWND, UINT, WPARAM, LPARAM) { return 0; }
