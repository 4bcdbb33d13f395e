// SetAbortProc, StartDocA, StartPage, EndPage, EndDoc and AbortDoc: the document cycle, with
// the abort procedure called from inside the printing calls.
#include "core/hooks.h"
#include "core/trace.h"
#include "gdi/abort_check.h"
#include "platform/windows_services.h"

namespace {

int next_job_id = 1;

void cancel(DeviceContext *dc) {
    if (dc->doc == DOC_OPEN) dc->ops->cancel_doc(dc);
    dc->doc = DOC_ABORTED;
    dc->page_open = false;
}

// The common answer of a printing call on a context with no usable document, or 0 to go on.
int document_state(DeviceContext *dc) {
    if (!dc) return SP_ERROR;
    if (dc->doc == DOC_ABORTED) return SP_APPABORT;
    if (dc->doc == DOC_NONE) return SP_ERROR;
    return 0;
}

// A failed page or document loses the whole job: nothing half-printed is kept.
int failed(DeviceContext *dc, int code) {
    if (dc->doc == DOC_OPEN) dc->ops->cancel_doc(dc);
    dc->doc = DOC_NONE;
    dc->page_open = false;
    return code;
}

}  // namespace

bool abort_check(HDC hdc) {
    DeviceContext *dc = dc_from(hdc);
    if (!dc || dc->doc != DOC_OPEN) return dc && dc->doc != DOC_ABORTED;
    dc->drawing_calls = 0;
    if (!dc->abort_proc) return true;
    BOOL go_on = dc->abort_proc(hdc, 0);
    dc = dc_from(hdc);  // the procedure may have deleted the context
    if (!dc) return false;
    if (!go_on) cancel(dc);
    return dc->doc == DOC_OPEN;
}

bool abort_check_drawing(HDC hdc) {
    DeviceContext *dc = dc_from(hdc);
    if (!dc || dc->doc == DOC_ABORTED) return false;
    if (++dc->drawing_calls < DRAWING_CALLS_PER_ABORT_CHECK) return true;
    return abort_check(hdc);
}

// Installs the procedure the printing calls consult; result 1, or SP_ERROR for a bad context.
int WINAPI SetAbortProc(HDC hdc, ABORTPROC proc) {
    TraceLine t;
    trace_begin(&t, "SetAbortProc");
    DeviceContext *dc = dc_from(hdc);
    if (!dc) return (int)trace_end(&t, SP_ERROR);
    dc->abort_proc = proc;
    return (int)trace_end(&t, 1);
}

// Starts a document: result a positive job id, or a negative spooler code.
int WINAPI StartDocA(HDC hdc, const DOCINFOA *info) {
    TraceLine t;
    trace_begin(&t, "StartDocA");
    trace_str(&t, "docName", info ? info->lpszDocName : nullptr);
    trace_str(&t, "output", info ? info->lpszOutput : nullptr);
    long long forced;
    if (fault_check("StartDocA", &forced)) return (int)trace_fault(&t, forced);
    DeviceContext *dc = dc_from(hdc);
    if (!dc || dc->doc == DOC_OPEN) return (int)trace_end(&t, SP_ERROR);
    dc->doc = DOC_NONE;
    dc->page_open = false;
    dc->drawing_calls = 0;
    dc->job_id = 0;
    int r = dc->ops->begin_doc(dc, info ? info->lpszDocName : nullptr,
                               info ? info->lpszOutput : nullptr);
    if (r < 0) return (int)trace_end(&t, r);
    dc->doc = DOC_OPEN;
    if (dc->job_id <= 0) dc->job_id = next_job_id++;
    return (int)trace_end(&t, dc->job_id);
}

// Starts a page: result 1, or a negative spooler code (SP_APPABORT once the job was aborted).
int WINAPI StartPage(HDC hdc) {
    TraceLine t;
    trace_begin(&t, "StartPage");
    long long forced;
    if (fault_check("StartPage", &forced)) return (int)trace_fault(&t, forced);
    int state = document_state(dc_from(hdc));
    if (state) return (int)trace_end(&t, state);
    if (!abort_check(hdc)) return (int)trace_end(&t, dc_from(hdc) ? SP_APPABORT : SP_ERROR);
    DeviceContext *dc = dc_from(hdc);
    if (dc->page_open) return (int)trace_end(&t, SP_ERROR);
    int r = dc->ops->begin_page(dc);
    if (r < 0) return (int)trace_end(&t, failed(dc, r));
    dc->page_open = true;
    trace_end(&t, 1);
    hook_after_start_page(hdc);
    return 1;
}

// Ends a page: result 1, or a negative spooler code.
int WINAPI EndPage(HDC hdc) {
    TraceLine t;
    trace_begin(&t, "EndPage");
    long long forced;
    if (fault_check("EndPage", &forced)) return (int)trace_fault(&t, forced);
    int state = document_state(dc_from(hdc));
    if (state) return (int)trace_end(&t, state);
    if (!abort_check(hdc)) return (int)trace_end(&t, dc_from(hdc) ? SP_APPABORT : SP_ERROR);
    DeviceContext *dc = dc_from(hdc);
    if (!dc->page_open) return (int)trace_end(&t, SP_ERROR);
    dc->page_open = false;
    int r = dc->ops->end_page(dc);
    if (r < 0) return (int)trace_end(&t, failed(dc, r));
    return (int)trace_end(&t, 1);
}

// Completes the document (a page still open is ended first): result 1 or a spooler code.
int WINAPI EndDoc(HDC hdc) {
    TraceLine t;
    trace_begin(&t, "EndDoc");
    long long forced;
    if (fault_check("EndDoc", &forced)) return (int)trace_fault(&t, forced);
    DeviceContext *dc = dc_from(hdc);
    int state = document_state(dc);
    if (state) return (int)trace_end(&t, state);
    if (dc->page_open) {
        dc->page_open = false;
        int r = dc->ops->end_page(dc);
        if (r < 0) return (int)trace_end(&t, failed(dc, r));
    }
    dc->doc = DOC_NONE;
    int r = dc->ops->end_doc(dc);
    return (int)trace_end(&t, r < 0 ? r : 1);
}

// Cancels the open document: result 1, or SP_ERROR when none is open.
int WINAPI AbortDoc(HDC hdc) {
    TraceLine t;
    trace_begin(&t, "AbortDoc");
    DeviceContext *dc = dc_from(hdc);
    if (!dc || dc->doc == DOC_NONE) return (int)trace_end(&t, SP_ERROR);
    if (dc->doc == DOC_OPEN) dc->ops->cancel_doc(dc);
    dc->doc = DOC_NONE;
    dc->page_open = false;
    return (int)trace_end(&t, 1);
}
