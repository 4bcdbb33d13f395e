// The thread's last error and errno translation: see errors.h.
#include "errors.h"

#include <cerrno>
#include <cstring>
#include <sys/stat.h>

#include "../core/trace.h"
#include "../win32_api.h"

namespace {

// Each thread has its own last error, as on Windows.
thread_local DWORD thread_last_error = ERROR_SUCCESS;

struct ErrnoRow {
    int e;
    DWORD code;
};

// Every code here has a system text in the message table, so that a failed call can always
// be explained to the user.
const ErrnoRow errno_rows[] = {
    {0, ERROR_SUCCESS},
    {ENOENT, ERROR_FILE_NOT_FOUND},
    {ENOTDIR, ERROR_PATH_NOT_FOUND},
    {ELOOP, ERROR_CANT_RESOLVE_FILENAME},
    {EACCES, ERROR_ACCESS_DENIED},
    {EPERM, ERROR_ACCESS_DENIED},
    {EISDIR, ERROR_ACCESS_DENIED},
    {EROFS, ERROR_WRITE_PROTECT},
    {EMFILE, ERROR_TOO_MANY_OPEN_FILES},
    {ENFILE, ERROR_TOO_MANY_OPEN_FILES},
    {ENOMEM, ERROR_NOT_ENOUGH_MEMORY},
    {ENOSPC, ERROR_DISK_FULL},
    {EDQUOT, ERROR_DISK_FULL},
    {EFBIG, ERROR_DISK_FULL},
    {ENAMETOOLONG, ERROR_FILENAME_EXCED_RANGE},
    {EPIPE, ERROR_BROKEN_PIPE},
    {EBADF, ERROR_INVALID_HANDLE},
    {EINVAL, ERROR_INVALID_PARAMETER},
    {EEXIST, ERROR_FILE_EXISTS},
    {ETXTBSY, ERROR_SHARING_VIOLATION},
    {EBUSY, ERROR_BUSY},
    {EIO, ERROR_IO_DEVICE},
    {ENXIO, ERROR_NOT_READY},
    {ENODEV, ERROR_NOT_READY},
    {ENOSYS, ERROR_NOT_SUPPORTED},
    {EOPNOTSUPP, ERROR_NOT_SUPPORTED},
    {ETIMEDOUT, ERROR_TIMEOUT},
    {ECONNREFUSED, RPC_S_SERVER_UNAVAILABLE},
    {ECANCELED, ERROR_CANCELLED},
};

}  // namespace

// A table walk: errno values are not dense enough for an array index.
DWORD win32_error_from_errno(int e) {
    for (const ErrnoRow &row : errno_rows) {
        if (row.e == e) return row.code;
    }
    return ERROR_GEN_FAILURE;
}

// Looks at the folder part of `path` (at most PATH_MAX bytes of it; a longer path has
// already failed with ENAMETOOLONG).
DWORD win32_open_error(const char *path, int e) {
    if (e != ENOENT || path == nullptr) return win32_error_from_errno(e);
    const char *slash = strrchr(path, '/');
    if (slash == nullptr || slash == path) return ERROR_FILE_NOT_FOUND;
    char folder[4096];
    size_t n = (size_t)(slash - path);
    if (n >= sizeof folder) return ERROR_PATH_NOT_FOUND;
    memcpy(folder, path, n);
    folder[n] = '\0';
    struct stat info;
    return stat(folder, &info) == 0 ? ERROR_FILE_NOT_FOUND : ERROR_PATH_NOT_FOUND;
}

void set_last_error(DWORD code) { thread_last_error = code; }

// Reads errno once, so that the translation sees the error of the call that just failed.
DWORD set_last_error_from_errno() {
    DWORD code = win32_error_from_errno(errno);
    thread_last_error = code;
    return code;
}

DWORD last_error() { return thread_last_error; }

// The program's own reads of the last error show in the trace with the code they saw.
DWORD WINAPI GetLastError(void) {
    TraceLine t;
    trace_begin(&t, "GetLastError");
    return (DWORD)trace_end(&t, thread_last_error);
}

void WINAPI SetLastError(DWORD code) {
    TraceLine t;
    trace_begin(&t, "SetLastError");
    trace_int(&t, "code", code);
    thread_last_error = code;
    trace_end_void(&t);
}
