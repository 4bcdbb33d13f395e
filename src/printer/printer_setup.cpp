// Printer selection and device mode: placeholder until the set-up lands.
#include "printer/printer_setup.h"

BYTE SetupPrinter(PrintJob *job) {
    job->printer_dc = nullptr;
    return 1;
}
