// GetVersionExA: the layer reports Windows NT, or the platform PELLMARK_PLATFORM_ID names
// (0 takes the program down its Win32s road, so that road can be tested on any machine).
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "../core/trace.h"
#include "../win32_api.h"
#include "errors.h"

namespace {

// The size of OSVERSIONINFOEXA, which GetVersionExA accepts as well: 148 bytes and the
// service pack, suite and product fields.
const DWORD EXTENDED_INFO_SIZE = 156;

// The platform to report. A knob that is not a whole number from 0 to 2 is refused with one
// line on stderr (once) and NT is reported.
DWORD reported_platform() {
    static bool warned = false;
    const char *knob = getenv("PELLMARK_PLATFORM_ID");
    if (knob == nullptr || knob[0] == '\0') return VER_PLATFORM_WIN32_NT;
    char *end = nullptr;
    long id = strtol(knob, &end, 10);
    if (*end == '\0' && id >= 0 && id <= 2) return (DWORD)id;
    if (!warned) {
        fprintf(stderr, "pellmark: PELLMARK_PLATFORM_ID=%s ignored (expected 0, 1 or 2)\n", knob);
        warned = true;
    }
    return VER_PLATFORM_WIN32_NT;
}

// Version numbers that fit the platform: Windows 3.1 with Win32s, Windows 95, Windows XP.
void fill_version(LPOSVERSIONINFOA info, DWORD platform) {
    struct Row {
        DWORD major, minor, build;
    } rows[] = {{3, 10, 0}, {4, 0, 950}, {5, 1, 2600}};
    info->dwMajorVersion = rows[platform].major;
    info->dwMinorVersion = rows[platform].minor;
    info->dwBuildNumber = rows[platform].build;
    info->dwPlatformId = platform;
    memset(info->szCSDVersion, 0, sizeof info->szCSDVersion);
}

}  // namespace

// Like Windows, the call accepts only the exact sizes of OSVERSIONINFOA and OSVERSIONINFOEXA
// in dwOSVersionInfoSize; any other size fails with ERROR_INSUFFICIENT_BUFFER.
BOOL WINAPI GetVersionExA(LPOSVERSIONINFOA info) {
    TraceLine t;
    trace_begin(&t, "GetVersionExA");
    if (info == nullptr) {
        set_last_error(ERROR_INVALID_PARAMETER);
        trace_null(&t, "platformId");
        return (BOOL)trace_end(&t, 0);
    }
    DWORD size = info->dwOSVersionInfoSize;
    if (size != sizeof(OSVERSIONINFOA) && size != EXTENDED_INFO_SIZE) {
        set_last_error(ERROR_INSUFFICIENT_BUFFER);
        trace_null(&t, "platformId");
        return (BOOL)trace_end(&t, 0);
    }
    DWORD platform = reported_platform();
    fill_version(info, platform);
    if (size == EXTENDED_INFO_SIZE) {
        // The extended fields (service pack, suite, product type) stay zero.
        memset(reinterpret_cast<char *>(info) + sizeof(OSVERSIONINFOA), 0,
               EXTENDED_INFO_SIZE - sizeof(OSVERSIONINFOA));
    }
    trace_int(&t, "platformId", platform);
    return (BOOL)trace_end(&t, 1);
}
