// Fuzzes the report line reader: the input's first byte chooses the buffer size (2 to 512)
// and raw mode, the rest is the report file. Reads to the end of the file and checks that
// no byte is lost or invented: the lines, with a form feed for every CTL_FORM_FEED, add up
// to the report without its CRs (LF stored as 0 outside raw mode), every count fits the
// buffer, the buffer's last byte stays 0, and the end comes within one call per byte.
#include <cstdint>
#include <vector>

#include "fuzz_scratch.h"
#include "job/print_job.h"
#include "render/line_reader.h"

extern "C" int LLVMFuzzerInitialize(int *, char ***) {
    unsetenv("PELLMARK_DEBUG");
    fuzz_enter_scratch_folder();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    if (size < 1) return 0;
    const int buffer_size = 2 + data[0] % 511;
    const bool raw = (data[0] & 0x80) != 0;
    const uint8_t *report = data + 1;
    const size_t report_size = size - 1;
    if (!fuzz_write_file("r.txt", report, report_size)) return 0;

    std::vector<char> expected;
    for (size_t i = 0; i < report_size; i++) {
        if (report[i] == 13) continue;
        expected.push_back(report[i] == 10 && !raw ? 0 : (char)report[i]);
    }

    PrintJob job;
    InitPrintJob(&job);
    job.raw = raw;
    job.report_file = _lopen("r.txt", OF_READ);
    FUZZ_CHECK(job.report_file != HFILE_ERROR, "cannot open the report");
    std::vector<char> got;
    std::vector<char> buffer(buffer_size, 'x');
    for (size_t calls = 0;; calls++) {
        FUZZ_CHECK(calls <= report_size + 1, "no end after %zu calls", calls);
        int status = -1;
        int count = GetLine(&job, buffer.data(), buffer_size, &status);
        FUZZ_CHECK(count >= 0 && count <= buffer_size - 1, "count %d, size %d", count, buffer_size);
        FUZZ_CHECK(buffer[buffer_size - 1] == 0, "last byte %d", buffer[buffer_size - 1]);
        FUZZ_CHECK(status >= CTL_LINE && status <= CTL_EOF, "status %d", status);
        if (status == CTL_EOF) {
            FUZZ_CHECK(count == 0, "CTL_EOF with %d bytes", count);
            break;
        }
        if (raw)
            for (int i = 0; i + 1 < count; i++) FUZZ_CHECK(buffer[i] != 10, "LF inside a line");
        got.insert(got.end(), buffer.begin(), buffer.begin() + count);
        if (status == CTL_FORM_FEED) got.push_back(12);
    }
    _lclose(job.report_file);
    FUZZ_CHECK(got == expected, "lines hold %zu bytes, the report %zu", got.size(),
               expected.size());
    return 0;
}
