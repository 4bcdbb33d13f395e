// The scheduler connection: one short attempt per process when the scheduler is down.
#include <atomic>
#include <cstring>
#include <mutex>
#include <string>

#include "cups/cups_client.h"
#include "cups/cups_internal.h"

namespace {

// How long a connection attempt may take: long enough for a remote scheduler on a LAN,
// short enough that a report run without a print service does not seem to hang.
constexpr int kConnectMilliseconds = 3000;

thread_local DWORD last_error = ERROR_SUCCESS;

// The server that was found down, so later calls answer at once. Guarded by `down_lock`.
std::mutex down_lock;
std::string down_server;
std::atomic<bool> any_down{false};

void mark_down(const char *server);

// A read or write that outlasts the connection's timeout fails instead of waiting on, and a
// scheduler that stopped answering counts as down, so later calls do not wait on it again.
int give_up(http_t *, void *) {
    mark_down(cupsServer());
    return 0;
}

bool known_down(const char *server) {
    if (!any_down.load()) return false;
    std::lock_guard<std::mutex> hold(down_lock);
    return down_server == server;
}

void mark_down(const char *server) {
    std::lock_guard<std::mutex> hold(down_lock);
    down_server = server;
    any_down.store(true);
}

}  // namespace

// Returns the calling thread's last recorded code: why the last failed call failed.
DWORD cups_last_error() { return last_error; }

void cups_set_error(DWORD code) { last_error = code; }

void cups_copy_text(char *dst, size_t size, const char *src) {
    if (size == 0) return;
    if (!src) src = "";
    size_t n = strnlen(src, size - 1);
    memcpy(dst, src, n);
    dst[n] = '\0';
}

// Forgets a cached "scheduler down" answer and makes libcups read CUPS_SERVER and
// client.conf again: for a caller that knows the print service was (re)started.
void cups_client_reset() {
    {
        std::lock_guard<std::mutex> hold(down_lock);
        down_server.clear();
        any_down.store(false);
    }
    cupsSetServer(nullptr);
}

http_t *cups_connect(double io_seconds) {
    const char *server = cupsServer();
    if (known_down(server)) {
        cups_set_error(RPC_S_SERVER_UNAVAILABLE);
        return nullptr;
    }
    http_t *http = httpConnect2(server, ippPort(), nullptr, AF_UNSPEC, cupsEncryption(), 1,
                                kConnectMilliseconds, nullptr);
    if (!http) {
        mark_down(server);
        cups_set_error(RPC_S_SERVER_UNAVAILABLE);
        return nullptr;
    }
    httpSetTimeout(http, io_seconds, give_up, nullptr);
    return http;
}

DWORD cups_set_error_from_ipp() {
    DWORD code = ERROR_GEN_FAILURE;
    switch (cupsLastError()) {
        case IPP_STATUS_ERROR_NOT_FOUND:
            code = ERROR_INVALID_PRINTER_NAME;
            break;
        case IPP_STATUS_ERROR_FORBIDDEN:
        case IPP_STATUS_ERROR_NOT_AUTHORIZED:
        case IPP_STATUS_ERROR_NOT_AUTHENTICATED:
            code = ERROR_ACCESS_DENIED;
            break;
        case IPP_STATUS_ERROR_NOT_ACCEPTING_JOBS:  // the queue was told to reject jobs
            code = ERROR_NOT_READY;
            break;
        case IPP_STATUS_ERROR_SERVICE_UNAVAILABLE:
            code = RPC_S_SERVER_UNAVAILABLE;
            break;
        case IPP_STATUS_ERROR_REQUEST_ENTITY:  // the scheduler had no room for the document
            code = ERROR_DISK_FULL;
            break;
        default:
            break;
    }
    // The request failed because the scheduler stopped answering (see give_up).
    if (known_down(cupsServer())) code = RPC_S_SERVER_UNAVAILABLE;
    cups_set_error(code);
    return code;
}
