// _lopen, _lread and _lclose over POSIX file descriptors: see files.h.
#include "files.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "../core/handles.h"
#include "../core/trace.h"
#include "../win32_api.h"
#include "errors.h"

namespace {

// One open file: the descriptor and the bytes read ahead but not yet handed out.
struct OpenFile {
    int fd;
    bool readable;
    size_t next;    // first byte of `buffer` not yet delivered
    size_t filled;  // bytes of `buffer` that hold file data
    unsigned char buffer[FILE_READ_BUFFER_SIZE];
};

long refills = 0;

// The file of the last _lread, so that the line reader's run of one-byte reads skips the
// handle lookup. Forgotten when that handle is closed.
int last_handle = 0;
OpenFile *last_file = nullptr;

// The open(2) flags for an _lopen mode. The OF_SHARE_* bits ask for Windows file sharing,
// which POSIX files do not enforce; they are accepted and ignored.
int open_flags(int mode) {
    int access = mode & 3;
    int flags = O_CLOEXEC | O_NOCTTY;
    if (access == OF_WRITE) return flags | O_WRONLY;
    if (access == OF_READWRITE) return flags | O_RDWR;
    return flags | O_RDONLY;
}

// Opens `path` for `mode` and refuses a directory the way Windows does (access denied).
// A read open does not wait: a named pipe without a writer would otherwise hold the run
// until somebody writes, so it opens at once and reads as an empty file (the descriptor is
// switched back to blocking reads, so a pipe that has a writer is read whole).
// Result: the descriptor, or -1 with the last error set.
int open_regular(const char *path, int mode) {
    if ((mode & 3) == 3) {
        set_last_error(ERROR_INVALID_PARAMETER);
        return -1;
    }
    int fd;
    do {
        fd = open(path, open_flags(mode) | ((mode & 3) == OF_READ ? O_NONBLOCK : 0));
    } while (fd < 0 && errno == EINTR);
    if (fd < 0) {
        // A write open of a directory fails with EISDIR, which maps to access denied too.
        set_last_error(win32_open_error(path, errno));
        return -1;
    }
    struct stat info;
    if (fstat(fd, &info) == 0 && S_ISDIR(info.st_mode)) {
        close(fd);
        set_last_error(ERROR_ACCESS_DENIED);
        return -1;
    }
    int flags = fcntl(fd, F_GETFL);
    if (flags != -1 && (flags & O_NONBLOCK)) fcntl(fd, F_SETFL, flags & ~O_NONBLOCK);
    return fd;
}

// Refills the buffer of `file`. Result: bytes now available (0 at the end of the file), or
// -1 on a read error with the last error set.
long refill(OpenFile *file) {
    refills++;
    ssize_t got;
    do {
        got = read(file->fd, file->buffer, sizeof file->buffer);
    } while (got < 0 && errno == EINTR);
    if (got < 0) {
        set_last_error_from_errno();
        return -1;
    }
    file->next = 0;
    file->filled = (size_t)got;
    return got;
}

}  // namespace

long files_refill_count() { return refills; }

// An empty path is an ordinary missing file (ERROR_FILE_NOT_FOUND) as far as the caller can
// tell, and a null path is an invalid parameter.
HFILE WINAPI _lopen(LPCSTR path, int mode) {
    TraceLine t;
    trace_begin(&t, "_lopen");
    trace_str(&t, "path", path);
    trace_int(&t, "mode", mode);
    if (path == nullptr) {
        set_last_error(ERROR_INVALID_PARAMETER);
        return (HFILE)trace_end(&t, HFILE_ERROR);
    }
    int fd = open_regular(path, mode);
    if (fd < 0) return (HFILE)trace_end(&t, HFILE_ERROR);
    OpenFile *file = static_cast<OpenFile *>(malloc(sizeof(OpenFile)));
    if (file == nullptr) {
        close(fd);
        set_last_error(ERROR_NOT_ENOUGH_MEMORY);
        return (HFILE)trace_end(&t, HFILE_ERROR);
    }
    file->fd = fd;
    file->readable = (mode & 3) != OF_WRITE;
    file->next = 0;
    file->filled = 0;
    int handle = handle_alloc(HK_FILE, file);
    if (handle == 0) {
        close(fd);
        free(file);
        set_last_error(ERROR_TOO_MANY_OPEN_FILES);
        return (HFILE)trace_end(&t, HFILE_ERROR);
    }
    return (HFILE)trace_end(&t, handle);
}

// Delivers up to `count` bytes, from the buffer first. Stops early only at the end of the
// file or at a read error after some bytes were delivered (the error shows on the next
// call). Not traced: the line reader calls it once per byte, and a one-byte read of a
// buffered byte costs a comparison and a copy (a write-only file never has buffered bytes).
UINT WINAPI _lread(HFILE handle, LPVOID buffer, UINT count) {
    OpenFile *file = handle == last_handle && handle != 0 ? last_file : nullptr;
    if (file && count == 1 && buffer && file->next < file->filled) {
        *static_cast<unsigned char *>(buffer) = file->buffer[file->next++];
        return 1;
    }
    if (!file) file = static_cast<OpenFile *>(handle_get(handle, HK_FILE));
    if (file == nullptr) {
        set_last_error(ERROR_INVALID_HANDLE);
        return (UINT)HFILE_ERROR;
    }
    if (!file->readable) {
        set_last_error(ERROR_ACCESS_DENIED);
        return (UINT)HFILE_ERROR;
    }
    if (count > 0 && buffer == nullptr) {
        set_last_error(ERROR_INVALID_PARAMETER);
        return (UINT)HFILE_ERROR;
    }
    last_handle = handle;
    last_file = file;
    unsigned char *out = static_cast<unsigned char *>(buffer);
    UINT done = 0;
    while (done < count) {
        if (file->next == file->filled) {
            long got = refill(file);
            if (got < 0) return done > 0 ? done : (UINT)HFILE_ERROR;
            if (got == 0) break;
        }
        size_t take = file->filled - file->next;
        if (take > count - done) take = count - done;
        memcpy(out + done, file->buffer + file->next, take);
        file->next += take;
        done += (UINT)take;
    }
    return done;
}

// Result: 0 when the file was open, HFILE_ERROR (invalid handle) otherwise.
HFILE WINAPI _lclose(HFILE handle) {
    TraceLine t;
    trace_begin(&t, "_lclose");
    trace_int(&t, "file", handle);
    OpenFile *file = static_cast<OpenFile *>(handle_release(handle, HK_FILE));
    if (handle == last_handle) last_handle = 0;
    if (file == nullptr) {
        set_last_error(ERROR_INVALID_HANDLE);
        return (HFILE)trace_end(&t, HFILE_ERROR);
    }
    int result = close(file->fd);
    free(file);
    if (result != 0 && errno != EINTR) {
        set_last_error_from_errno();
        return (HFILE)trace_end(&t, HFILE_ERROR);
    }
    return (HFILE)trace_end(&t, 0);
}
