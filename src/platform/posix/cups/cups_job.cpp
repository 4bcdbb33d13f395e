// Streamed print jobs: Create-Job, then one Send-Document whose body is written as the
// device draws, so the scheduler holds each page as soon as the page is finished.
#include <cstdlib>
#include <cstring>

#include "cups/cups_client.h"
#include "cups/cups_internal.h"
#include "cups/cups_job_options.h"

struct CupsJob {
    http_t *http;
    char queue[128];
    int id;
    bool failed;  // a write was refused: the document can only be cancelled now
};

namespace {

// A busy scheduler may take a while to take the next piece of a large document; only a
// scheduler that stops answering for this long fails the job.
constexpr double kJobSeconds = 60.0;

// Cancels job `id` on `queue` over a fresh connection (the job's own connection may be in
// the middle of a document body, which cannot carry another request).
void cancel_on_scheduler(const char *queue, int id) {
    http_t *http = cups_connect(10.0);
    if (!http) return;
    cupsCancelJob2(http, queue, id, 0);
    httpClose(http);
}

void free_job(CupsJob *job) {
    if (job->http) httpClose(job->http);
    free(job);
}

}  // namespace

CupsJob *cups_job_start(const char *queue, const char *title, const CupsJobOptions *opt, bool raw,
                        DWORD *error) {
    DWORD ignored = 0;
    if (!error) error = &ignored;
    CupsJob *job = static_cast<CupsJob *>(calloc(1, sizeof(CupsJob)));
    if (!job) {
        cups_set_error(*error = ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    cups_copy_text(job->queue, sizeof job->queue, queue);
    job->http = cups_connect(kJobSeconds);
    if (!job->http) {
        *error = cups_last_error();
        free_job(job);
        return nullptr;
    }
    // IPP names are UTF-8 and at most 255 bytes; the scheduler refuses the job otherwise.
    char name[256];
    cups_job_title(title, name, sizeof name);
    cups_option_t *options = nullptr;
    int count = cups_job_attributes(opt, &options);
    job->id = cupsCreateJob(job->http, job->queue, name, count, options);
    cupsFreeOptions(count, options);
    if (job->id <= 0) {
        *error = cups_set_error_from_ipp();
        // libcups reports a queue the scheduler lacks as a generic failure; say which.
        CupsQueue known;
        if (!cups_find_queue(job->queue, &known) && cups_last_error() == ERROR_INVALID_PRINTER_NAME)
            *error = ERROR_INVALID_PRINTER_NAME;
        cups_set_error(*error);
        free_job(job);
        return nullptr;
    }
    const char *format = raw ? CUPS_FORMAT_RAW : CUPS_FORMAT_PDF;
    if (cupsStartDocument(job->http, job->queue, job->id, name, format, 1) !=
        HTTP_STATUS_CONTINUE) {
        *error = cups_set_error_from_ipp();
        cancel_on_scheduler(job->queue, job->id);
        free_job(job);
        return nullptr;
    }
    *error = ERROR_SUCCESS;
    return job;
}

int cups_job_id(const CupsJob *job) { return job ? job->id : 0; }

bool cups_job_write(CupsJob *job, const void *bytes, size_t count) {
    if (!job || job->failed) return false;
    if (count == 0) return true;
    if (cupsWriteRequestData(job->http, static_cast<const char *>(bytes), count) !=
        HTTP_STATUS_CONTINUE) {
        job->failed = true;
        cups_set_error_from_ipp();
        return false;
    }
    return true;
}

bool cups_job_flush(CupsJob *job) {
    if (!job || job->failed) return false;
    if (httpFlushWrite(job->http) < 0) {
        job->failed = true;
        cups_set_error(ERROR_WRITE_FAULT);
        return false;
    }
    return true;
}

int cups_job_finish(CupsJob *job) {
    if (!job) return SP_ERROR;
    if (job->failed) {
        cups_job_cancel(job);
        return SP_ERROR;
    }
    ipp_status_t status = cupsFinishDocument(job->http, job->queue);
    int result = 0;
    if (status > IPP_STATUS_OK_EVENTS_COMPLETE) {
        result = cups_set_error_from_ipp() == ERROR_DISK_FULL ? SP_OUTOFDISK : SP_ERROR;
        // The scheduler may still hold a half-received document: make sure it never prints.
        httpClose(job->http);
        job->http = nullptr;
        cancel_on_scheduler(job->queue, job->id);
    }
    free_job(job);
    return result;
}

void cups_job_cancel(CupsJob *job) {
    if (!job) return;
    // Closing the connection first abandons a document body that is still open.
    httpClose(job->http);
    job->http = nullptr;
    cancel_on_scheduler(job->queue, job->id);
    free_job(job);
}
