// Start-up and the job loop: one pass over the command line, printing each report file at
// once with the options gathered before it.
#include "job/startup.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "diag/debug_log.h"
#include "job/help_dialog.h"
#include "job/options.h"
#include "render/page_composer.h"

HINSTANCE app_instance = nullptr;
DWORD platform_id = 0;

const int HELP_DIALOG_ID = 101;

// Records the instance and the platform, shows the option help when there is no argument
// (before the sort, so it lists the options in stored order), sorts the option table and
// walks the arguments. The command line is read from the argument vector. Always 0: the
// exit status tells the caller nothing about printing.
int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    app_instance = instance;
    if (getenv("ORVO_DBG_PELLMARK")) DebugBreak();
    OSVERSIONINFOA version;
    memset(&version, 0, sizeof version);
    version.dwOSVersionInfoSize = sizeof version;
    GetVersionExA(&version);
    platform_id = version.dwPlatformId;
    if (__argc == 1)
        DialogBoxParamA(app_instance, MAKEINTRESOURCEA(HELP_DIALOG_ID), nullptr, HelpDlgProc, 0);
    SortOptionTable();
    ProcessArguments(__argv, __argc);
    return 0;
}

// Owns the run's one PrintJob, initialised once and never reset. An argument beginning with
// "-" or "/" is an option (its own storage, without that character, goes to the parser);
// every other argument, the empty one included, names a report file that is printed and
// then disposed of. A report that fails does not stop the loop.
void ProcessArguments(char **arguments, int count) {
    PrintJob job;
    InitPrintJob(&job);
    for (int i = 1; i < count; i++) {
        char *argument = arguments[i];
        if (argument[0] == '-' || argument[0] == '/') {
            ParseOption(&job, argument + 1);
            continue;
        }
        job.report_name = argument;
        job.printed = 0;
        PrintReport(&job);
        DisposeReport(&job);
    }
}

// With SCRATCH, deletes the report and the configuration file once the report was printed to
// its end. A report that was not printed is kept, with its configuration file, so that a
// failed or cancelled print loses nothing; the log says why. Deletion failures are ignored.
void DisposeReport(PrintJob *job) {
    if (!job->scratch) return;
    if (!job->printed) {
        DebugPrintf("Keeping %s: it was not printed\n", job->report_name);
        return;
    }
    remove(job->report_name);
    if (job->config_name[0]) remove(job->config_name);
}
