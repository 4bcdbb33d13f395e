// Where a file printer puts a document: the file named by the document's lpszOutput, else the
// printer's port (a directory, a file, or "|command"), else beside the report.
#pragma once

#include <cstddef>

#include "spool/printer_registry.h"

// Writes the target into `out` and sets *pipe when it is a command. A document named
// "reports/r.txt" gives "reports/r<ext>" beside it, or "<dir>/r<ext>" for a directory port.
// A name that would land on the report itself gets <ext> appended instead, so the report is
// never overwritten. False when the result does not fit in `size`.
bool output_target(const PrinterInfo *printer, const char *doc_name, const char *output,
                   const char *ext, char *out, size_t size, bool *pipe);
