// Escape: QUERYESCSUPPORT and PASSTHROUGH.
#include <cstdint>
#include <cstring>

#include "core/trace.h"
#include "gdi/abort_check.h"
#include "platform/windows_services.h"

namespace {

// The escape number a QUERYESCSUPPORT asks about: a 32-bit integer, or a 16-bit one from
// callers that pass only two bytes.
bool asked_escape(int count, const char *in, int *escape) {
    if (!in || count < 2) return false;
    if (count >= 4) {
        int32_t v;
        memcpy(&v, in, 4);
        *escape = v;
    } else {
        uint16_t v;
        memcpy(&v, in, 2);
        *escape = v;
    }
    return true;
}

int passthrough(HDC hdc, const char *in) {
    DeviceContext *dc = dc_from(hdc);
    if (!dc->ops->passthrough) return 0;
    if (!in) return SP_ERROR;
    if (dc->doc == DOC_ABORTED) return SP_APPABORT;
    if (dc->doc != DOC_OPEN) return SP_ERROR;
    if (!abort_check_drawing(hdc)) return dc_from(hdc) ? SP_APPABORT : SP_ERROR;
    dc = dc_from(hdc);
    uint16_t count;
    memcpy(&count, in, 2);
    return dc->ops->raw_bytes(dc, in + 2, count);
}

}  // namespace

// QUERYESCSUPPORT: non-zero for QUERYESCSUPPORT itself and, on devices that take raw bytes,
// PASSTHROUGH. PASSTHROUGH: the input is a 16-bit little-endian count and that many bytes,
// which reach the output unchanged; result the count or a negative spooler code. Any other
// escape is not supported (0).
int WINAPI Escape(HDC hdc, int escape, int count, LPCSTR in, LPVOID) {
    TraceLine t;
    trace_begin(&t, "Escape");
    trace_int(&t, "escape", escape);
    trace_int(&t, "count", count);
    size_t shown = 0;
    if (in && escape == PASSTHROUGH) {
        uint16_t n;
        memcpy(&n, in, 2);
        shown = 2u + n;
    } else if (in && count > 0) {
        shown = (size_t)count;
    }
    trace_hex(&t, "in", in, shown);
    long long forced;
    if (fault_check("Escape", &forced)) return (int)trace_fault(&t, forced);
    DeviceContext *dc = dc_from(hdc);
    if (!dc) return (int)trace_end(&t, 0);
    int asked = 0;
    switch (escape) {
        case QUERYESCSUPPORT:
            if (!asked_escape(count, in, &asked)) return (int)trace_end(&t, 0);
            return (int)trace_end(
                &t, asked == QUERYESCSUPPORT || (asked == PASSTHROUGH && dc->ops->passthrough));
        case PASSTHROUGH:
            return (int)trace_end(&t, passthrough(hdc, in));
        default:
            return (int)trace_end(&t, 0);
    }
}
