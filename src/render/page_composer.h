// The page composer.
#pragma once

#include "job/print_job.h"

// Prints the file named by job->report_name. On return the report file is closed and
// job->printer_dc is null; job->printed tells whether the report was printed to its end.
void PrintReport(PrintJob *job);
