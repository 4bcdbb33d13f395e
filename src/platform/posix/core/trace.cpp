// Platform call trace and fault knob: see trace.h.
#include "trace.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace {

enum { TRACE_UNDECIDED, TRACE_ON, TRACE_OFF };
int trace_state = TRACE_UNDECIDED;
int trace_fd = -1;

// The fault knob: at most this many rules, each naming a call and an optional count.
struct FaultRule {
    char fn[48];
    long nth;  // 0 = every call
    long long value;
};
const int MAX_RULES = 64;
FaultRule rules[MAX_RULES];
int rule_count = 0;
bool faults_parsed = false;

// Per-function call counters, keyed by name. The subset is small; a linear table suffices.
struct Counter {
    char fn[48];
    long calls;
};
const int MAX_COUNTERS = 128;
Counter counters[MAX_COUNTERS];
int counter_count = 0;

void decide_trace() {
    if (trace_state != TRACE_UNDECIDED) return;
    const char *path = getenv("PELLMARK_TRACE");
    trace_state = TRACE_OFF;
    if (!path || !*path) return;
    int saved = errno;
    trace_fd = open(path, O_WRONLY | O_CREAT | O_TRUNC | O_APPEND | O_CLOEXEC, 0644);
    errno = saved;
    if (trace_fd >= 0) trace_state = TRACE_ON;
}

// Appends raw text; on overflow marks the line and keeps what fits at a key boundary.
bool put(TraceLine *t, const char *s, size_t n) {
    if (t->overflow) return false;
    // Keep room for ',"truncated":true}\n' at the end.
    if (t->length + n + 24 > sizeof t->text) {
        t->overflow = true;
        return false;
    }
    memcpy(t->text + t->length, s, n);
    t->length += n;
    return true;
}

bool puts_(TraceLine *t, const char *s) { return put(t, s, strlen(s)); }

// Writes one JSON string of raw bytes into a scratch buffer, then appends it whole, so a
// field is either complete or absent.
void put_key(TraceLine *t, const char *key, const char *value_json, size_t n) {
    char head[80];
    int h = snprintf(head, sizeof head, ",\"%s\":", key);
    if (h < 0 || (size_t)h >= sizeof head) return;
    if (t->overflow || t->length + (size_t)h + n + 24 > sizeof t->text) {
        t->overflow = true;
        return;
    }
    put(t, head, (size_t)h);
    put(t, value_json, n);
}

// Escapes `count` bytes as a JSON string body into out (capacity cap); returns the length,
// or (size_t)-1 when it does not fit.
size_t escape_bytes(const unsigned char *b, size_t count, char *out, size_t cap) {
    size_t o = 0;
    if (cap < 2) return (size_t)-1;
    out[o++] = '"';
    for (size_t i = 0; i < count; i++) {
        unsigned c = b[i];
        char tmp[8];
        size_t k;
        if (c == '"' || c == '\\') {
            tmp[0] = '\\';
            tmp[1] = (char)c;
            k = 2;
        } else if (c == '\b') {
            memcpy(tmp, "\\b", 2), k = 2;
        } else if (c == '\f') {
            memcpy(tmp, "\\f", 2), k = 2;
        } else if (c == '\n') {
            memcpy(tmp, "\\n", 2), k = 2;
        } else if (c == '\r') {
            memcpy(tmp, "\\r", 2), k = 2;
        } else if (c == '\t') {
            memcpy(tmp, "\\t", 2), k = 2;
        } else if (c < 0x20 || c >= 0x7f) {
            k = (size_t)snprintf(tmp, sizeof tmp, "\\u%04x", c);
        } else {
            tmp[0] = (char)c;
            k = 1;
        }
        if (o + k + 1 >= cap) return (size_t)-1;
        memcpy(out + o, tmp, k);
        o += k;
    }
    out[o++] = '"';
    return o;
}

Counter *counter_for(const char *fn) {
    for (int i = 0; i < counter_count; i++)
        if (strcmp(counters[i].fn, fn) == 0) return &counters[i];
    if (counter_count == MAX_COUNTERS || strlen(fn) >= sizeof counters[0].fn) return nullptr;
    Counter *c = &counters[counter_count++];
    snprintf(c->fn, sizeof c->fn, "%s", fn);
    c->calls = 0;
    return c;
}

// Parses "Name#n=value,Name=value". Returns false (and leaves no rule) on any fault.
bool parse_faults(const char *knob, const char **why) {
    rule_count = 0;
    const char *p = knob;
    while (*p) {
        if (rule_count == MAX_RULES) return *why = "too many rules", false;
        FaultRule r{};
        size_t n = 0;
        while (*p && *p != '#' && *p != '=' && *p != ',') {
            char c = *p;
            bool ok = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') ||
                      c == '_';
            if (!ok || n + 1 >= sizeof r.fn) return *why = "bad call name", false;
            r.fn[n++] = *p++;
        }
        if (n == 0) return *why = "missing call name", false;
        if (*p == '#') {
            char *end;
            p++;
            errno = 0;
            long nth = strtol(p, &end, 10);
            if (end == p || nth < 1 || errno) return *why = "bad call number after #", false;
            r.nth = nth;
            p = end;
        }
        if (*p != '=') return *why = "missing =value", false;
        p++;
        char *end;
        errno = 0;
        long long v = strtoll(p, &end, 0);
        if (end == p || errno) return *why = "bad value", false;
        r.value = v;
        p = end;
        rules[rule_count++] = r;
        if (*p == ',') {
            p++;
            if (!*p) return *why = "trailing comma", false;
        } else if (*p) {
            return *why = "unexpected text after value", false;
        }
    }
    return true;
}

void decide_faults() {
    if (faults_parsed) return;
    faults_parsed = true;
    const char *knob = getenv("PELLMARK_FAULTS");
    if (!knob || !*knob) return;
    const char *why = "";
    if (!parse_faults(knob, &why)) {
        rule_count = 0;
        fprintf(stderr, "pellmark: ignoring PELLMARK_FAULTS=\"%s\": %s\n", knob, why);
    }
}

void write_line(TraceLine *t) {
    if (t->overflow) {
        memcpy(t->text + t->length, ",\"truncated\":true", 17);
        t->length += 17;
    }
    t->text[t->length++] = '}';
    t->text[t->length++] = '\n';
    size_t off = 0;
    while (off < t->length) {
        ssize_t w = write(trace_fd, t->text + off, t->length - off);
        if (w < 0 && errno == EINTR) continue;
        if (w <= 0) break;
        off += (size_t)w;
    }
    t->active = false;
}

}  // namespace

bool trace_enabled() {
    decide_trace();
    return trace_state == TRACE_ON;
}

void trace_begin(TraceLine *t, const char *fn) {
    t->length = 0;
    t->overflow = false;
    t->active = trace_enabled();
    if (!t->active) return;
    puts_(t, "{\"fn\":");
    char esc[128];
    size_t n = escape_bytes((const unsigned char *)fn, strlen(fn), esc, sizeof esc);
    if (n != (size_t)-1) put(t, esc, n);
}

void trace_int(TraceLine *t, const char *key, long long value) {
    if (!t->active) return;
    char num[32];
    int n = snprintf(num, sizeof num, "%lld", value);
    put_key(t, key, num, (size_t)n);
}

void trace_null(TraceLine *t, const char *key) {
    if (t->active) put_key(t, key, "null", 4);
}

void trace_bool(TraceLine *t, const char *key, bool value) {
    if (t->active) put_key(t, key, value ? "true" : "false", value ? 4 : 5);
}

void trace_json(TraceLine *t, const char *key, const char *json) {
    if (t->active) put_key(t, key, json, strlen(json));
}

void trace_bytes(TraceLine *t, const char *key, const void *bytes, size_t count) {
    if (!t->active) return;
    if (!bytes) return trace_null(t, key);
    static char esc[sizeof(TraceLine::text)];
    size_t n = escape_bytes((const unsigned char *)bytes, count, esc, sizeof esc);
    if (n == (size_t)-1) {
        t->overflow = true;
        return;
    }
    put_key(t, key, esc, n);
}

void trace_str(TraceLine *t, const char *key, const char *text) {
    if (!t->active) return;
    if (!text) return trace_null(t, key);
    trace_bytes(t, key, text, strlen(text));
}

void trace_hex(TraceLine *t, const char *key, const void *bytes, size_t count) {
    if (!t->active) return;
    if (!bytes) return trace_null(t, key);
    static char hex[sizeof(TraceLine::text)];
    const unsigned char *b = (const unsigned char *)bytes;
    if (count * 2 + 3 > sizeof hex) {
        t->overflow = true;
        return;
    }
    size_t o = 0;
    hex[o++] = '"';
    for (size_t i = 0; i < count; i++) o += (size_t)snprintf(hex + o, 3, "%02x", b[i]);
    hex[o++] = '"';
    put_key(t, key, hex, o);
}

void trace_handle(TraceLine *t, const char *key, const void *handle) {
    trace_int(t, key, (long long)(intptr_t)handle);
}

void trace_devmode(TraceLine *t, const char *key, const DEVMODEA *dm) {
    if (!t->active) return;
    if (!dm) return trace_null(t, key);
    char name[CCHDEVICENAME + 1], form[CCHFORMNAME + 1];
    memcpy(name, dm->dmDeviceName, CCHDEVICENAME);
    name[CCHDEVICENAME] = 0;
    memcpy(form, dm->dmFormName, CCHFORMNAME);
    form[CCHFORMNAME] = 0;
    char ename[CCHDEVICENAME * 6 + 3], eform[CCHFORMNAME * 6 + 3];
    size_t nn = escape_bytes((const unsigned char *)name, strlen(name), ename, sizeof ename);
    size_t nf = escape_bytes((const unsigned char *)form, strlen(form), eform, sizeof eform);
    if (nn == (size_t)-1 || nf == (size_t)-1) return;
    ename[nn] = 0;
    eform[nf] = 0;
    char json[1024];
    int n = snprintf(json, sizeof json,
                     "{\"deviceName\":%s,\"specVersion\":%u,\"fields\":%u,\"orientation\":%d,"
                     "\"paperSize\":%d,\"paperLength\":%d,\"paperWidth\":%d,\"copies\":%d,"
                     "\"defaultSource\":%d,\"collate\":%d,\"formName\":%s}",
                     ename, (unsigned)dm->dmSpecVersion, (unsigned)dm->dmFields, dm->dmOrientation,
                     dm->dmPaperSize, dm->dmPaperLength, dm->dmPaperWidth, dm->dmCopies,
                     dm->dmDefaultSource, dm->dmCollate, eform);
    if (n > 0 && (size_t)n < sizeof json) put_key(t, key, json, (size_t)n);
}

long long trace_end(TraceLine *t, long long result) {
    if (!t->active) return result;
    trace_int(t, "ret", result);
    write_line(t);
    return result;
}

void *trace_end_handle(TraceLine *t, const void *handle) {
    trace_end(t, (long long)(intptr_t)handle);
    return const_cast<void *>(handle);
}

long long trace_fault(TraceLine *t, long long value) {
    if (!t->active) return value;
    trace_bool(t, "fault", true);
    return trace_end(t, value);
}

void trace_end_void(TraceLine *t) {
    if (t->active) write_line(t);
}

bool fault_check(const char *fn, long long *value) {
    decide_faults();
    Counter *c = counter_for(fn);
    long n = c ? ++c->calls : 0;
    for (int i = 0; i < rule_count; i++) {
        if (strcmp(rules[i].fn, fn) != 0) continue;
        if (rules[i].nth == 0 || rules[i].nth == n) {
            *value = rules[i].value;
            return true;
        }
    }
    return false;
}

long fault_calls(const char *fn) {
    for (int i = 0; i < counter_count; i++)
        if (strcmp(counters[i].fn, fn) == 0) return counters[i].calls;
    return 0;
}

void trace_reset_for_tests() {
    if (trace_fd >= 0) close(trace_fd);
    trace_fd = -1;
    trace_state = TRACE_UNDECIDED;
    faults_parsed = false;
    rule_count = 0;
    counter_count = 0;
}
