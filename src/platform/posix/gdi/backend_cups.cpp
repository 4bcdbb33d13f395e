// The cups backend: the document streams to a CUPS queue as PDF while its pages are drawn, so
// the first page is spooled before the report has been read to its end. Copies, collation,
// paper and paper source travel with the job.
#include <cstdio>

#include "gdi/cairo_device.h"
#include "gdi/document_sink.h"

namespace {

int begin_doc(DeviceContext *dc, const char *doc_name, const char *) {
    const char *title = doc_name && *doc_name ? doc_name : "Pellmark document";
    int r = document_sink_open_cups(dc, title);
    return r < 0 ? r : cairo_device_begin(dc, CAIRO_DEVICE_PDF, title);
}

}  // namespace

const DeviceOps cups_device_ops = {
    "cups",
    false,
    begin_doc,
    cairo_device_begin_page,
    cairo_device_end_page,
    cairo_device_end_doc,
    cairo_device_cancel,
    cairo_device_text,
    cairo_device_line,
    device_no_raw_bytes,
};
