// DebugBreak and IsDebuggerPresent. A debugger is attached when /proc/self/status names a
// tracer; without one a SIGTRAP would end the process, so DebugBreak only says so and goes on.
#include <csignal>
#include <cstdio>
#include <cstring>

#include "../core/trace.h"
#include "../win32_api.h"

namespace {

// True when the process is being traced (TracerPid other than 0). A system without /proc
// counts as having no debugger: going on is safer than being killed.
bool tracer_attached() {
    FILE *f = fopen("/proc/self/status", "r");
    if (f == nullptr) return false;
    char line[256];
    long tracer = 0;
    while (fgets(line, sizeof line, f) != nullptr) {
        if (strncmp(line, "TracerPid:", 10) == 0) {
            sscanf(line + 10, "%ld", &tracer);
            break;
        }
    }
    fclose(f);
    return tracer != 0;
}

}  // namespace

void WINAPI DebugBreak(void) {
    TraceLine t;
    trace_begin(&t, "DebugBreak");
    trace_end_void(&t);
    if (tracer_attached()) {
        raise(SIGTRAP);
        return;
    }
    fprintf(stderr, "pellmark: DebugBreak: no debugger attached, going on\n");
}

BOOL WINAPI IsDebuggerPresent(void) {
    TraceLine t;
    trace_begin(&t, "IsDebuggerPresent");
    return (BOOL)trace_end(&t, tracer_attached() ? 1 : 0);
}
