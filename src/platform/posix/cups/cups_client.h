// The layer's client of a CUPS scheduler: queue discovery and streamed print jobs.
//
// The device contexts and the printer registry use only these records and calls, so libcups
// stays inside this folder. Every call answers quickly when no scheduler is reachable: the
// first failed connection is remembered for the rest of the process.
#pragma once

#include <cstddef>

#include "win32_types.h"

// One destination of the scheduler. Texts are truncated to fit (always terminated).
struct CupsQueue {
    char name[128];
    char make_and_model[128];
    bool is_default;
    bool raw;                   // printer-make-and-model is "Local Raw Printer": no filters
    char media_default[64];     // self-describing media name ("na_letter_8.5x11in"), "" unknown
    int width_hmm, length_hmm;  // default media in hundredths of mm, 0 unknown
    int left_hmm, bottom_hmm, right_hmm, top_hmm;  // margins in hundredths of mm, -1 unknown
};

// Fills up to `max` queues and returns how many were filled; 0 when no scheduler answers
// (cups_last_error() then tells why). Never waits longer than a short connect timeout.
int cups_list_queues(CupsQueue *out, int max);

// Looks one queue up by name (case as the scheduler spells it, compared ignoring ASCII case).
// False when the queue is unknown or no scheduler answers; cups_last_error() tells which.
bool cups_find_queue(const char *name, CupsQueue *out);

// Forgets a cached "scheduler down" answer and reads CUPS_SERVER and client.conf again.
void cups_client_reset();

// The Win32 error code of this thread's last call of this module (ERROR_SUCCESS after a
// success); after a failure:
// RPC_S_SERVER_UNAVAILABLE (1722) when the scheduler is down, ERROR_INVALID_PRINTER_NAME
// (1801) for an unknown queue, ERROR_NOT_READY (21) for a queue that rejects jobs,
// ERROR_ACCESS_DENIED, ERROR_NOT_ENOUGH_MEMORY, ERROR_DISK_FULL or ERROR_GEN_FAILURE (31).
DWORD cups_last_error();

// Job settings that travel to the scheduler as IPP job attributes. A zero/empty field means
// "the queue's default". The paper is the user size when both dimensions are given, else the
// paper code's form, else the named form; it travels as libcups' media name for that size.
struct CupsJobOptions {
    int copies;                           // 0 or 1: one copy
    bool collate;                         // copies as whole documents, in order
    int width_tenth_mm, length_tenth_mm;  // user paper size, 0 when not given
    int paper_code;                       // DMPAPER_ code, 0 when not given
    int source;                           // DMBIN_ code, 0 when not given
    int orientation;                      // DMORIENT_PORTRAIT (1) / LANDSCAPE (2), 0 unset
    char form_name[32];                   // a paper form name, "" when not given
};

struct CupsJob;

// Creates a job on `queue` and opens its one document for streaming: PDF, or raw bytes for a
// raw queue (`raw`). Returns null on failure with a Win32 code in *error (may be null).
CupsJob *cups_job_start(const char *queue, const char *title, const CupsJobOptions *opt, bool raw,
                        DWORD *error);

// The scheduler's job id of a started job (positive).
int cups_job_id(const CupsJob *job);

// Sends the next bytes of the document. False when the scheduler refused them; the job stays
// open so the caller can cancel it.
bool cups_job_write(CupsJob *job, const void *bytes, size_t count);

// Pushes the bytes written so far to the scheduler now instead of when the connection's
// buffer fills: call it when a page is complete so the page is spooled at once. False when
// the scheduler refused them.
bool cups_job_flush(CupsJob *job);

// Closes the document and releases the job: 0 when the scheduler accepted it, else SP_ERROR
// (or SP_OUTOFDISK when the scheduler ran out of space). The job is freed in every case.
int cups_job_finish(CupsJob *job);

// Abandons the document and cancels the job on the scheduler so nothing prints; frees it.
void cups_job_cancel(CupsJob *job);
