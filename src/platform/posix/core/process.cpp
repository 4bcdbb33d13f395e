// Process-wide facts of the POSIX layer: see process.h.
#include "process.h"

#include "handles.h"

int __argc = 0;
char **__argv = nullptr;

HINSTANCE process_instance() {
    static int instance = handle_alloc(HK_INSTANCE, nullptr);
    return handle_to<HINSTANCE>(instance);
}
