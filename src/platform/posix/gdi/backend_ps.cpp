// The ps backend: PostScript with embedded font subsets, written to a file or a command.
#include "gdi/cairo_device.h"
#include "gdi/document_sink.h"

namespace {

int begin_doc(DeviceContext *dc, const char *doc_name, const char *output) {
    int r = document_sink_open(dc, doc_name, output, ".ps");
    return r < 0 ? r : cairo_device_begin(dc, CAIRO_DEVICE_PS, doc_name ? doc_name : "");
}

}  // namespace

const DeviceOps ps_device_ops = {
    "ps",
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
