// The pdf backend: searchable PDF with embedded font subsets, written to a file or a command.
#include "gdi/cairo_device.h"
#include "gdi/document_sink.h"

namespace {

int begin_doc(DeviceContext *dc, const char *doc_name, const char *output) {
    int r = document_sink_open(dc, doc_name, output, ".pdf");
    return r < 0 ? r : cairo_device_begin(dc, CAIRO_DEVICE_PDF, doc_name ? doc_name : "");
}

}  // namespace

const DeviceOps pdf_device_ops = {
    "pdf",
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
