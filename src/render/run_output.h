// Run output and ruler.
#pragma once

#include "job/print_job.h"

// The fonts of the current report: normal, bold, underline, bold+underline.
extern HFONT report_fonts[4];

// Growable buffers shared by every run of the process; empty at start, never shrunk or
// released. raw_buffer holds a 16-bit little-endian count and the run's bytes;
// translate_buffer holds a translated line tail of at most translate_buffer_length
// characters and its terminator.
extern char *raw_buffer;
extern int raw_buffer_size;
extern char *translate_buffer;
extern int translate_buffer_length;

// Draws one run (or passes it through in raw mode). The text is 0-terminated at the end of
// the decoded line, behind the run.
void OutputRun(PrintJob *job, BYTE attributes, int x, int y, const char *text, WORD length);
// Draws the ruler with its top edge at y when the job's ruler flag is set.
void DrawRuler(PrintJob *job, int y);
