// The debug log: one text file without levels, decided lazily at the first message.
#include "diag/debug_log.h"

#include <cstdarg>
#include <cstdlib>

int log_state = LOG_UNDECIDED;
FILE *log_file = nullptr;

// Opens the log at the first message, from PELLMARK_DEBUG. Any failure (unset, empty, the
// file cannot be created) switches the log off for good, silently: printing must not depend
// on the log. The environment is read at most once per process.
static void DecideDebugLog() {
    const char *path = getenv("PELLMARK_DEBUG");
    FILE *stream = (path && *path) ? fopen(path, "w") : nullptr;
    if (stream) {
        log_file = stream;
        log_state = LOG_ON;
    } else {
        log_state = LOG_OFF;
    }
}

// Writes one printf-style message to the log when it is on. Flushed at once so that the file
// on disk is complete up to the last message even if the process ends abruptly. Write errors
// are ignored.
void DebugPrintf(const char *format, ...) {
    if (log_state == LOG_UNDECIDED) DecideDebugLog();
    if (log_state != LOG_ON) return;
    va_list arguments;
    va_start(arguments, format);
    vfprintf(log_file, format, arguments);
    va_end(arguments);
    fflush(log_file);
}

// The `log` option. A file that opens becomes the log whatever the state was; the stream of
// an earlier log receives nothing more and is closed, so a run that names a log per report
// does not run out of file handles. A file that does not open changes nothing: an undecided
// log stays undecided, an active log stays in use (so no message is ever written to a stream
// that is not open), a log that is off stays off.
void OpenDebugLog(const char *path) {
    FILE *stream = fopen(path, "w");
    if (!stream) return;
    if (log_file) fclose(log_file);
    log_file = stream;
    log_state = LOG_ON;
}
