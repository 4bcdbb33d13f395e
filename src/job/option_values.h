// Reading an option's value: the value text itself, integers, measurements, paper sources.
#pragma once

#include "job/print_job.h"

// The value of an option that has no "=": the same text for every option.
inline constexpr char MISSING_OPTION_VALUE[] = "INVALID ARGUMENT";

// Finds the value in `text` (behind its first "=", spaces skipped, one pair of quotes
// removed in place). Returns nullptr when `text` has no "=".
char *FindOptionValue(char *text);
// Leading white space, optional sign, decimal digits; no digits give 0. Wraps on overflow.
int32_t ReadOptionInteger(const char *value);
// A paper dimension in tenths of a millimetre: millimetres when the value holds "m" or "M",
// else inches. No number gives 0; a product beyond 32 bits is held at the nearest limit.
int32_t ReadMeasurement(const char *value);
// The `source` option: a paper source name, else (while no source is set) a bin number.
void ApplySourceOption(PrintJob *job, const char *value);
// Copies `value` into a text field of `size` bytes, cutting what does not fit.
void CopyOptionText(char *field, int size, const char *value);
