// Where a printed document's bytes go: a file (written under a temporary name beside it and
// renamed into place only when the document is complete), a command's standard input, or a
// CUPS job. A cancelled document leaves nothing behind.
#pragma once

#include <cstddef>
#include <sys/types.h>

#include "cups/cups_client.h"
#include "win32_types.h"

enum SinkKind { SINK_NONE = 0, SINK_FILE, SINK_PIPE, SINK_CUPS };

// Bytes for a file or a command are gathered up to this many before they are written, so a
// document costs few write(2) calls (a CUPS job buffers in libcups).
const size_t SINK_BUFFER_SIZE = 65536;

struct OutputSink {
    SinkKind kind;
    int fd;        // file or pipe
    pid_t child;   // the command of a pipe
    CupsJob *job;  // a CUPS job
    char temp_path[4096];
    char final_path[4096];
    int error;        // errno of the first failed write, 0 while all went well
    size_t buffered;  // bytes of `buffer` not yet written (file and pipe)
    unsigned char buffer[SINK_BUFFER_SIZE];
};

// Opens a temporary file beside `path`, or `path` itself when it is a device or a named pipe.
// False with a Win32 code in *error.
bool sink_open_file(OutputSink *sink, const char *path, DWORD *error);
// Starts `command` with /bin/sh -c and a pipe to its standard input.
bool sink_open_pipe(OutputSink *sink, const char *command, DWORD *error);
// Starts a CUPS job on `queue`.
bool sink_open_cups(OutputSink *sink, const char *queue, const char *title,
                    const CupsJobOptions *options, bool raw, DWORD *error);

// Sends bytes; for a file or a command they may wait in the sink's buffer until the next
// flush. False once any write failed (the first failure's errno stays in sink->error): a
// failure of buffered bytes shows at the flush or commit that writes them.
bool sink_write(OutputSink *sink, const void *bytes, size_t count);

// Hands what was written so far on at once: a finished page reaches the CUPS scheduler
// without waiting for the connection's buffer to fill, and the buffered bytes of a file or a
// command are written. False once any write failed.
bool sink_flush(OutputSink *sink);

// The spooler code for a failed write's errno: SP_OUTOFDISK when the disk (or the file size
// limit) is full, else SP_ERROR.
int sink_spooler_code(int e);

// Completes the document: renames the file into place, waits for the command, or closes the
// CUPS job. Result: 0, or SP_OUTOFDISK when the disk was full, else SP_ERROR. The sink is
// closed in every case, and a failed file is removed.
int sink_commit(OutputSink *sink);

// Abandons the document: removes the temporary file, stops the command, cancels the CUPS job.
void sink_discard(OutputSink *sink);
