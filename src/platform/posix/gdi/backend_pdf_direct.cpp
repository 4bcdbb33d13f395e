// The pdf and cups backends on the direct PDF text writer: the same destinations as their
// cairo tables, with each document written directly unless its first face needs cairo, in
// which case that document is drawn by cairo from start to end.
#include "gdi/cairo_device.h"
#include "gdi/document_sink.h"
#include "gdi/pdf_direct.h"

namespace {

// Starts the document on the open sink: directly when the context's font allows it.
int begin_drawing(DeviceContext *dc, const char *title) {
    if (pdf_direct_begin(dc, title)) return 0;
    return cairo_device_begin(dc, CAIRO_DEVICE_PDF, title);
}

int begin_file_doc(DeviceContext *dc, const char *doc_name, const char *output) {
    int r = document_sink_open(dc, doc_name, output, ".pdf");
    return r < 0 ? r : begin_drawing(dc, doc_name ? doc_name : "");
}

int begin_cups_doc(DeviceContext *dc, const char *doc_name, const char *) {
    const char *title = doc_name && *doc_name ? doc_name : "Pellmark document";
    int r = document_sink_open_cups(dc, title);
    return r < 0 ? r : begin_drawing(dc, title);
}

int begin_page(DeviceContext *dc) { return dc->direct ? pdf_direct_begin_page(dc) : 0; }

int end_page(DeviceContext *dc) {
    return dc->direct ? pdf_direct_end_page(dc) : cairo_device_end_page(dc);
}

int end_doc(DeviceContext *dc) {
    return dc->direct ? pdf_direct_end_doc(dc) : cairo_device_end_doc(dc);
}

void cancel_doc(DeviceContext *dc) {
    if (dc->direct)
        pdf_direct_cancel(dc);
    else
        cairo_device_cancel(dc);
}

bool text(DeviceContext *dc, int x, int y, const unsigned char *bytes, int count) {
    return dc->direct ? pdf_direct_text(dc, x, y, bytes, count)
                      : cairo_device_text(dc, x, y, bytes, count);
}

bool line(DeviceContext *dc, int x0, int y0, int x1, int y1) {
    return dc->direct ? pdf_direct_line(dc, x0, y0, x1, y1) : cairo_device_line(dc, x0, y0, x1, y1);
}

}  // namespace

const DeviceOps pdf_direct_device_ops = {
    "pdf",   false,      begin_file_doc, begin_page, end_page,
    end_doc, cancel_doc, text,           line,       device_no_raw_bytes,
};

const DeviceOps cups_direct_device_ops = {
    "cups",  false,      begin_cups_doc, begin_page, end_page,
    end_doc, cancel_doc, text,           line,       device_no_raw_bytes,
};
