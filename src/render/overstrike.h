// The overstrike decoder.
#pragma once

#include "job/print_job.h"

const BYTE ATTR_UNDERLINE = 1;
const BYTE ATTR_BOLD = 2;
const int DECODE_BUFFER_SIZE = 512;

// Decodes `count` bytes of `line` (followed by a 0 byte) into `text` (0-terminated) and one
// attribute byte per character in `attributes` (all 512 bytes cleared first).
void DecodeOverstrike(const char *line, int count, char *text, BYTE *attributes);
// Hands the decoded line to OutputRun run by run.
void EmitRuns(PrintJob *job, const char *text, const BYTE *attributes, int y, int char_width);

// Where EmitRunsThrough hands each run: OutputRun's signature. EmitRuns uses OutputRun; the
// unit tests pass a recorder to see the runs without a device.
typedef void (*RunSink)(PrintJob *job, BYTE attributes, int x, int y, const char *text,
                        WORD length);
void EmitRunsThrough(RunSink sink, PrintJob *job, const char *text, const BYTE *attributes, int y,
                     int char_width);
