// Destinations of printed documents: see output_sink.h.
#include "spool/output_sink.h"

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

DWORD win32_of_errno(int e) {
    switch (e) {
        case ENOENT:
            return ERROR_PATH_NOT_FOUND;
        case ENOTDIR:
            return ERROR_PATH_NOT_FOUND;
        case EACCES:
        case EPERM:
        case EROFS:
            return ERROR_ACCESS_DENIED;
        case ENOSPC:
        case EDQUOT:
        case EFBIG:
            return ERROR_DISK_FULL;
        case ENAMETOOLONG:
            return ERROR_FILENAME_EXCED_RANGE;
        case EMFILE:
        case ENFILE:
            return ERROR_TOO_MANY_OPEN_FILES;
        case ENOMEM:
            return ERROR_NOT_ENOUGH_MEMORY;
        default:
            return ERROR_WRITE_FAULT;
    }
}

void reset(OutputSink *sink) {
    sink->kind = SINK_NONE;
    sink->fd = -1;
    sink->child = 0;
    sink->job = nullptr;
    sink->temp_path[0] = 0;
    sink->final_path[0] = 0;
    sink->buffered = 0;
}

// Writes all of `count` bytes to the descriptor; false with sink->error set when it fails.
bool write_all(OutputSink *sink, const void *bytes, size_t count) {
    const char *p = (const char *)bytes;
    while (count > 0) {
        ssize_t w = write(sink->fd, p, count);
        if (w < 0 && errno == EINTR) continue;
        if (w <= 0) {
            sink->error = w < 0 ? errno : EIO;
            return false;
        }
        p += w;
        count -= (size_t)w;
    }
    return true;
}

// Writes the buffered bytes of a file or a command.
bool drain(OutputSink *sink) {
    size_t n = sink->buffered;
    sink->buffered = 0;
    return sink->error == 0 && (n == 0 || write_all(sink, sink->buffer, n));
}

// Waits for the command of a pipe; true when it ended with status 0.
bool wait_child(pid_t child) {
    int status = 0;
    while (waitpid(child, &status, 0) < 0)
        if (errno != EINTR) return false;
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

}  // namespace

bool sink_open_file(OutputSink *sink, const char *path, DWORD *error) {
    reset(sink);
    int n = snprintf(sink->temp_path, sizeof sink->temp_path, "%s.XXXXXX", path);
    if (n < 0 || (size_t)n >= sizeof sink->temp_path || strlen(path) >= sizeof sink->final_path) {
        *error = ERROR_FILENAME_EXCED_RANGE;
        return false;
    }
    snprintf(sink->final_path, sizeof sink->final_path, "%s", path);
    struct stat st;
    if (stat(path, &st) == 0 && !S_ISREG(st.st_mode) && !S_ISDIR(st.st_mode)) {
        // A device or a named pipe (a line printer's port) takes the bytes as they come.
        sink->temp_path[0] = 0;
        sink->fd = open(path, O_WRONLY | O_CLOEXEC);
        if (sink->fd < 0) {
            *error = win32_of_errno(errno);
            return false;
        }
        sink->kind = SINK_FILE;
        sink->error = 0;
        return true;
    }
    int fd = mkstemp(sink->temp_path);
    if (fd < 0) {
        *error = win32_of_errno(errno);
        return false;
    }
    // mkstemp makes the file private; the finished document gets the usual permissions.
    mode_t mask = umask(0);
    umask(mask);
    fchmod(fd, 0666 & ~mask);
    fcntl(fd, F_SETFD, FD_CLOEXEC);
    sink->fd = fd;
    sink->kind = SINK_FILE;
    sink->error = 0;
    return true;
}

bool sink_open_pipe(OutputSink *sink, const char *command, DWORD *error) {
    reset(sink);
    int fds[2];
    if (pipe(fds) < 0) {
        *error = win32_of_errno(errno);
        return false;
    }
    // A command that exits early must turn writes into errors, not kill the program.
    signal(SIGPIPE, SIG_IGN);
    pid_t child = fork();
    if (child < 0) {
        close(fds[0]);
        close(fds[1]);
        *error = win32_of_errno(errno);
        return false;
    }
    if (child == 0) {
        dup2(fds[0], 0);
        close(fds[0]);
        close(fds[1]);
        execl("/bin/sh", "sh", "-c", command, (char *)nullptr);
        _exit(127);
    }
    close(fds[0]);
    fcntl(fds[1], F_SETFD, FD_CLOEXEC);
    sink->fd = fds[1];
    sink->child = child;
    sink->kind = SINK_PIPE;
    sink->error = 0;
    return true;
}

bool sink_open_cups(OutputSink *sink, const char *queue, const char *title,
                    const CupsJobOptions *options, bool raw, DWORD *error) {
    reset(sink);
    DWORD e = 0;
    sink->job = cups_job_start(queue, title, options, raw, &e);
    if (!sink->job) {
        *error = e ? e : ERROR_INVALID_PRINTER_NAME;
        return false;
    }
    sink->kind = SINK_CUPS;
    sink->error = 0;
    return true;
}

// A file that reached the size limit (EFBIG) is out of room as much as a full disk is.
int sink_spooler_code(int e) {
    return (e == ENOSPC || e == EDQUOT || e == EFBIG) ? SP_OUTOFDISK : SP_ERROR;
}

bool sink_flush(OutputSink *sink) {
    if (sink->error) return false;
    if (sink->kind == SINK_CUPS && !cups_job_flush(sink->job)) sink->error = EIO;
    if (sink->kind == SINK_FILE || sink->kind == SINK_PIPE) drain(sink);
    return sink->error == 0;
}

bool sink_write(OutputSink *sink, const void *bytes, size_t count) {
    if (sink->error) return false;
    if (sink->kind == SINK_CUPS) {
        if (!cups_job_write(sink->job, bytes, count)) sink->error = EIO;
        return sink->error == 0;
    }
    if (count > SINK_BUFFER_SIZE - sink->buffered && !drain(sink)) return false;
    if (count >= SINK_BUFFER_SIZE) return write_all(sink, bytes, count);  // too big to gather
    memcpy(sink->buffer + sink->buffered, bytes, count);
    sink->buffered += count;
    return true;
}

int sink_commit(OutputSink *sink) {
    int result = 0;
    switch (sink->kind) {
        case SINK_FILE:
            drain(sink);
            // Data that only fails at flushing time (full disk, quota) fails here.
            if (!sink->error && sink->temp_path[0] && fsync(sink->fd) < 0) sink->error = errno;
            if (close(sink->fd) < 0 && !sink->error) sink->error = errno;
            if (!sink->error && sink->temp_path[0] && rename(sink->temp_path, sink->final_path) < 0)
                sink->error = errno;
            if (sink->error) {
                if (sink->temp_path[0]) unlink(sink->temp_path);
                result = sink_spooler_code(sink->error);
            }
            break;
        case SINK_PIPE:
            drain(sink);
            close(sink->fd);
            if (!wait_child(sink->child) || sink->error) result = SP_ERROR;
            break;
        case SINK_CUPS:
            if (sink->error) {
                cups_job_cancel(sink->job);
                result = SP_ERROR;
            } else {
                result = cups_job_finish(sink->job);
            }
            break;
        case SINK_NONE:
            break;
    }
    reset(sink);
    return result;
}

void sink_discard(OutputSink *sink) {
    switch (sink->kind) {
        case SINK_FILE:
            close(sink->fd);
            if (sink->temp_path[0]) unlink(sink->temp_path);  // a device keeps what it got
            break;
        case SINK_PIPE:
            // The command must not finish a half document: stop it before it sees end of input.
            kill(sink->child, SIGTERM);
            close(sink->fd);
            wait_child(sink->child);
            break;
        case SINK_CUPS:
            cups_job_cancel(sink->job);
            break;
        case SINK_NONE:
            break;
    }
    reset(sink);
}
