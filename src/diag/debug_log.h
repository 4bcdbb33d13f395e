// The debug log.
#pragma once

#include <cstdio>

const int LOG_UNDECIDED = 0;
const int LOG_ON = 1;
const int LOG_OFF = 2;

extern int log_state;
extern FILE *log_file;

// A printf-style message to the debug log, when one is enabled.
void DebugPrintf(const char *format, ...) __attribute__((format(printf, 1, 2)));
// The `log` option: opens `path` as the new log (see the option parser).
void OpenDebugLog(const char *path);
