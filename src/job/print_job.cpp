// The print job record's one initialisation.
#include "job/print_job.h"

#include <cstring>

// Called once per run by the argument loop: every field zero (empty texts, null handles,
// cleared flags), then the two settings whose default is not zero.
void InitPrintJob(PrintJob *job) {
    memset(job, 0, sizeof *job);
    job->copies = 1;
    job->orientation = DMORIENT_PORTRAIT;
}
