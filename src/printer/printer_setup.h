// Printer selection and device mode.
#pragma once

#include "job/print_job.h"

// Chooses the printer, builds and edits its device mode, shows the print dialog when asked,
// and creates job->printer_dc. False only when the print dialog returns without a choice.
// Can end the process (status 0) when the printer cannot be found or opened.
BYTE SetupPrinter(PrintJob *job);
