// Fuzzes the option parser: the input's first line is one command-line option (without its
// "-"), the rest becomes the configuration file c.cfg, which is then read with -config=c.cfg.
// Configuration files may name each other (c.cfg names itself easily) and option lists nest.
// Checked after every input: the text fields stay terminated within their capacities and the
// flags and orientation keep their values' ranges, and no file is left open once the log
// that the input chose is closed.
#include <cstdint>
#include <vector>

#include "diag/debug_log.h"
#include "fuzz_scratch.h"
#include "job/options.h"
#include "job/print_job.h"

extern "C" int LLVMFuzzerInitialize(int *, char ***) {
    unsetenv("PELLMARK_DEBUG");
    fuzz_enter_scratch_folder();
    SortOptionTable();
    return 0;
}

// A log opened by an option of one input must not carry into the next.
static void reset_debug_log() {
    if (log_file) fclose(log_file);
    log_file = nullptr;
    log_state = LOG_UNDECIDED;
}

static void check_job(const PrintJob *job) {
    FUZZ_CHECK(memchr(job->printer_id, 0, sizeof job->printer_id), "printer_id unterminated");
    FUZZ_CHECK(memchr(job->form_id, 0, sizeof job->form_id), "form_id unterminated");
    FUZZ_CHECK(memchr(job->font, 0, sizeof job->font), "font unterminated");
    FUZZ_CHECK(memchr(job->config_name, 0, sizeof job->config_name), "config_name unterminated");
    FUZZ_CHECK(job->orientation == 1 || job->orientation == 2, "orientation %d", job->orientation);
    const BYTE flags[] = {job->scratch, job->ruler, job->collate, job->interactive,
                          job->oem,     job->ansi,  job->raw,     job->no_windows};
    for (BYTE flag : flags) FUZZ_CHECK(flag <= 1, "flag value %d", flag);
    FUZZ_CHECK(job->printer_dc == nullptr, "an option made a device context");
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    // Every name stays relative, inside the scratch folder.
    if (memchr(data, '/', size) || memchr(data, '\\', size)) return 0;
    const uint8_t *newline = (const uint8_t *)memchr(data, '\n', size);
    size_t first = newline ? (size_t)(newline - data) : size;
    std::vector<char> option(data, data + first);
    option.push_back(0);
    size_t rest = newline ? size - first - 1 : 0;
    if (!fuzz_write_file("c.cfg", newline ? newline + 1 : data + size, rest)) return 0;

    const int open_files_before = fuzz_count_open_files();
    PrintJob job;
    InitPrintJob(&job);
    ParseOption(&job, option.data());
    check_job(&job);
    char config[] = "config=c.cfg";
    ParseOption(&job, config);
    check_job(&job);

    reset_debug_log();
    int open_files = fuzz_count_open_files();
    FUZZ_CHECK(open_files == open_files_before, "%d files open, %d before", open_files,
               open_files_before);
    fuzz_empty_scratch_folder();
    return 0;
}
