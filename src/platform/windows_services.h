// The one interface between Pellmark's own code and the platform.
//
// The program is written against the Win32 names, types and constants. On Windows they come
// from the system headers; elsewhere from the POSIX layer's own declarations, which keep the
// documented signatures and values.
#pragma once

#if defined(_WIN32)
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>
#include <commdlg.h>
#include <winspool.h>
#include <stdlib.h>
// The POSIX declarations bring the fixed-width integer types and size_t; so does this branch.
#include <stddef.h>
#include <stdarg.h>
#include <stdint.h>
#else
#include "posix/win32_api.h"
#endif
