// Process-wide facts of the POSIX layer.
#pragma once

#include "../win32_types.h"

// The module instance handle of the program (one per process, from the handle table).
HINSTANCE process_instance();
