// Opening the destination of a document for a file printer (pdf, ps, raw).
#pragma once

#include "gdi/device_context.h"

// Opens dc->sink on the printer's target for a document (see output_target.h), with `ext` as
// the extension of files named after the document. 0 or SP_ERROR / SP_OUTOFDISK, with the
// last error set on failure.
int document_sink_open(DeviceContext *dc, const char *doc_name, const char *output,
                       const char *ext);
// Starts a CUPS job for a document on the printer's queue; dc->job_id becomes the job's id.
// 0 or SP_ERROR / SP_OUTOFDISK, with the last error set on failure.
int document_sink_open_cups(DeviceContext *dc, const char *title);
