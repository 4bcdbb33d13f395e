// Run output and ruler.
#pragma once

#include "job/print_job.h"

// The fonts of the current report: normal, bold, underline, bold+underline.
extern HFONT report_fonts[4];

// Draws one run (or passes it through in raw mode). The text is 0-terminated at the end of
// the decoded line, behind the run.
void OutputRun(PrintJob *job, BYTE attributes, int x, int y, const char *text, WORD length);
// Draws the ruler with its top edge at y when the job's ruler flag is set.
void DrawRuler(PrintJob *job, int y);
