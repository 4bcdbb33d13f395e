// Shared plumbing of the CUPS client files: the scheduler connection and the error slot.
#pragma once

#include <cups/cups.h>

#include "win32_types.h"

// Opens a connection to the scheduler that libcups names (CUPS_SERVER, client.conf, the
// local socket). Returns null at once when an earlier attempt in this process found the
// scheduler down, or after a short connect timeout; the error slot then holds
// RPC_S_SERVER_UNAVAILABLE. `io_seconds` bounds each later read or write on the connection.
http_t *cups_connect(double io_seconds);

// Records the Win32 code that cups_last_error() reports on this thread.
void cups_set_error(DWORD code);

// Maps the status of the last IPP request on this thread to a Win32 code and records it.
DWORD cups_set_error_from_ipp();

// Copies `src` into `dst` of `size` bytes, truncating and always terminating.
void cups_copy_text(char *dst, size_t size, const char *src);
