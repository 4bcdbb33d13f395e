// Opening the destination of a document for a file printer: see document_sink.h.
#include "gdi/document_sink.h"

#include "platform/windows_services.h"
#include "spool/output_target.h"

int document_sink_open(DeviceContext *dc, const char *doc_name, const char *output,
                       const char *ext) {
    char target[4096];
    bool pipe = false;
    DWORD error = 0;
    if (!output_target(&dc->printer, doc_name, output, ext, target, sizeof target, &pipe)) {
        SetLastError(ERROR_FILENAME_EXCED_RANGE);
        return SP_ERROR;
    }
    bool ok = pipe ? sink_open_pipe(&dc->sink, target, &error)
                   : sink_open_file(&dc->sink, target, &error);
    if (ok) return 0;
    SetLastError(error);
    return error == ERROR_DISK_FULL ? SP_OUTOFDISK : SP_ERROR;
}

int document_sink_open_cups(DeviceContext *dc, const char *title) {
    DWORD error = 0;
    if (!sink_open_cups(&dc->sink, dc->printer.port, title, &dc->job, false, &error)) {
        SetLastError(error);
        return error == ERROR_DISK_FULL ? SP_OUTOFDISK : SP_ERROR;
    }
    dc->job_id = cups_job_id(dc->sink.job);
    return 0;
}
