// The report line reader.
#pragma once

#include "job/print_job.h"

const int CTL_LINE = 0;
const int CTL_FORM_FEED = 1;
const int CTL_EOF = 2;

// Reads the next line of job->report_file into buffer (size >= 2). Returns the count of bytes
// stored (0 .. size-1) and the line status in *status.
int GetLine(PrintJob *job, char *buffer, int size, int *status);
