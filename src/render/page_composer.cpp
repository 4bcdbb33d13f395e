// PLACEHOLDER page composer: opens the report, reads it to its end line by line and closes
// it, so that the job loop, the disposition and the reader can run end to end. Nothing is
// drawn. The real composer replaces this file.
#include "render/page_composer.h"

#include "diag/debug_log.h"
#include "render/line_reader.h"

const int REPORT_LINE_SIZE = 512;

// Reads the report named by job->report_name to its end. A report that does not open is
// logged and left unprinted; one read to its end counts as printed.
void PrintReport(PrintJob *job) {
    job->report_file = _lopen(job->report_name, OF_READ);
    if (job->report_file == HFILE_ERROR) {
        DebugPrintf("lopen(%s) failed because of error %d\n", job->report_name,
                    (int)GetLastError());
        return;
    }
    char line[REPORT_LINE_SIZE];
    int status = CTL_LINE;
    while (status != CTL_EOF) GetLine(job, line, sizeof line, &status);
    _lclose(job->report_file);
    job->printed = 1;
}
