// The option help dialog (template 101).
#pragma once

#include "platform/windows_services.h"

INT_PTR CALLBACK HelpDlgProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
