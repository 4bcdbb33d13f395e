// The thread's last error and the translation of C library errors into Windows codes.
//
// The layer's own code sets and reads the last error through set_last_error/last_error, which
// leave no trace line, so that the call trace shows only the calls the program makes itself.
#pragma once

#include "../win32_types.h"

// The Windows error code that best describes the C library error `e` (an errno value).
// Unknown values give ERROR_GEN_FAILURE (31), which still has a system text.
DWORD win32_error_from_errno(int e);

// The Windows code for a failed open of `path` with errno `e`: like win32_error_from_errno,
// except that a missing file in a missing folder is ERROR_PATH_NOT_FOUND, as Windows tells
// the two apart.
DWORD win32_open_error(const char *path, int e);

// Sets the calling thread's last error without tracing (what SetLastError does).
void set_last_error(DWORD code);
// Sets the last error from the current errno and returns the Windows code.
DWORD set_last_error_from_errno();
// The calling thread's last error, without tracing.
DWORD last_error();
