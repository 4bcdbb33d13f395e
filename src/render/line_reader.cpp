// The report line reader: the one place that knows the byte format of a report file.
#include "render/line_reader.h"

#include "diag/debug_log.h"

const char BYTE_LF = 10;
const char BYTE_FF = 12;
const char BYTE_CR = 13;

// Reads the next line of job->report_file into `buffer` (`size` >= 2 bytes) and returns the
// count of bytes stored, 0 .. size-1. CR is dropped everywhere; LF ends the line and is
// stored as 0 (or as LF in raw mode); FF ends the line and the page and is not stored; every
// other byte is stored as it is. A full buffer ends the call before another byte is read, so
// the rest of a long line forms the next line; the buffer's last byte always holds 0. Nothing
// is read ahead and no state is kept: only the file position carries over. A read error is
// taken for the end of the file; the log line then keeps the last-error code.
int GetLine(PrintJob *job, char *buffer, int size, int *status) {
    *status = CTL_LINE;
    buffer[size - 1] = 0;
    int count = 0;
    while (count < size - 1) {
        char byte;
        if (_lread(job->report_file, &byte, 1) != 1) break;
        if (byte == BYTE_FF) {
            *status = CTL_FORM_FEED;
            break;
        }
        if (byte == BYTE_CR) continue;
        if (byte == BYTE_LF) {
            buffer[count++] = job->raw ? BYTE_LF : 0;
            break;
        }
        buffer[count++] = byte;
    }
    if (count == 0 && *status == CTL_LINE) {
        DebugPrintf("GetLine: found EOF - GetLastError() = %d\n", (int)GetLastError());
        *status = CTL_EOF;
    }
    return count;
}
