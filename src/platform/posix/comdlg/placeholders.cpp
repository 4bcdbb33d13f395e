// Placeholders for calls of this area that are not written yet: each fails cleanly.
// The owner of the area removes a placeholder when the real call lands.
#include "platform/windows_services.h"

BOOL WINAPI PrintDlgA(LPPRINTDLGA) { return 0; }
DWORD WINAPI CommDlgExtendedError(void) { return 0; }
