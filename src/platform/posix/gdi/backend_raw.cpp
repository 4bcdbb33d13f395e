// The raw backend, for line printers: PASSTHROUGH bytes go to the output verbatim, and text
// drawn with TextOutA is laid on a character grid (row = y / line height, column = x /
// character width of the selected font) and written as plain lines at the end of the page,
// followed by a form feed. The output is a file, a command, or a raw CUPS queue.
#include <cerrno>
#include <cstring>
#include <string>
#include <vector>

#include "gdi/document_sink.h"
#include "gdi/font_object.h"
#include "platform/windows_services.h"

// Rows and columns beyond these are dropped: no page of a line printer comes near them.
const int RAW_MAX_ROWS = 1000;
const int RAW_MAX_COLUMNS = 1000;

struct RawPage {
    std::vector<std::string> rows;
};

namespace {

int code_of(const OutputSink *sink) { return sink_spooler_code(sink->error); }

int begin_doc(DeviceContext *dc, const char *doc_name, const char *output) {
    int r = 0;
    if (dc->printer.driver == DRIVER_CUPS) {
        DWORD error = 0;
        const char *title = doc_name && *doc_name ? doc_name : "Pellmark document";
        if (!sink_open_cups(&dc->sink, dc->printer.port, title, &dc->job, true, &error)) {
            SetLastError(error);
            return SP_ERROR;
        }
        dc->job_id = cups_job_id(dc->sink.job);
    } else {
        r = document_sink_open(dc, doc_name, output, ".prn");
        if (r < 0) return r;
    }
    dc->raw = new RawPage;
    return 0;
}

int begin_page(DeviceContext *dc) {
    dc->raw->rows.clear();
    return 0;
}

int end_page(DeviceContext *dc) {
    std::string out;
    for (std::string &row : dc->raw->rows) {
        size_t end = row.find_last_not_of(' ');
        out.append(row, 0, end == std::string::npos ? 0 : end + 1);
        out.push_back('\n');
    }
    out.push_back('\f');
    dc->raw->rows.clear();
    bool ok = sink_write(&dc->sink, out.data(), out.size()) && sink_flush(&dc->sink);
    return ok ? 0 : code_of(&dc->sink);
}

void free_page(DeviceContext *dc) {
    delete dc->raw;
    dc->raw = nullptr;
}

int end_doc(DeviceContext *dc) {
    free_page(dc);
    if (dc->sink.error) {
        int code = code_of(&dc->sink);
        sink_discard(&dc->sink);
        return code;
    }
    return sink_commit(&dc->sink);
}

void cancel_doc(DeviceContext *dc) {
    free_page(dc);
    sink_discard(&dc->sink);
}

bool text(DeviceContext *dc, int x, int y, const unsigned char *bytes, int count) {
    FontObject *font = font_from(dc->font);
    if (!font || !font_realize(font, dc->page.dpi)) return false;
    int line_height = font->tm.tmHeight + font->tm.tmExternalLeading;
    int char_width = font->tm.tmAveCharWidth;
    if (line_height <= 0 || char_width <= 0 || x < 0 || y < 0) return false;
    int row = y / line_height, column = x / char_width;
    if (row >= RAW_MAX_ROWS || column >= RAW_MAX_COLUMNS) return false;
    std::vector<std::string> &rows = dc->raw->rows;
    if ((int)rows.size() <= row) rows.resize((size_t)row + 1);
    std::string &line = rows[(size_t)row];
    int end = column + count < RAW_MAX_COLUMNS ? column + count : RAW_MAX_COLUMNS;
    if ((int)line.size() < end) line.resize((size_t)end, ' ');
    for (int i = column; i < end; i++) {
        unsigned char b = bytes[i - column];
        line[(size_t)i] = (b < 0x20 || b == 0x7F) ? ' ' : (char)b;  // no control bytes
    }
    return true;
}

bool line(DeviceContext *, int, int, int, int) { return false; }  // a line printer has no lines

// Passed-through bytes go out at once: the application learns of a full disk from the
// escape that met it.
int raw_bytes(DeviceContext *dc, const void *bytes, int count) {
    if (count == 0) return 0;
    bool ok = sink_write(&dc->sink, bytes, (size_t)count) && sink_flush(&dc->sink);
    return ok ? count : code_of(&dc->sink);
}

}  // namespace

const DeviceOps raw_device_ops = {
    "raw", true, begin_doc, begin_page, end_page, end_doc, cancel_doc, text, line, raw_bytes,
};
