// Start-up and the job loop.
#pragma once

#include "job/print_job.h"

// Written once at start-up, only read afterwards.
extern HINSTANCE app_instance;
extern DWORD platform_id;  // dwPlatformId of GetVersionExA: 0 is Win32s

// Walks the argument vector (`count` elements, the first the program itself).
void ProcessArguments(char **arguments, int count);
// Applies the disposition to the report just printed.
void DisposeReport(PrintJob *job);
