// Platform call trace and fault knob of the POSIX layer.
//
// Trace: with PELLMARK_TRACE naming a file, every Win32 call of the subset writes one JSON
// object per line, in call order, flushed per line. The file is created or emptied at the
// first traced call. Keys: "fn", the call's arguments, "ret"; a call answered by the fault
// knob also carries "fault": true.
//
// Faults: PELLMARK_FAULTS="Name#n=value,Name=value,..." makes the n-th call of Name (counted
// over the whole run; without #n every call) return value instead of doing its work. A
// malformed knob is rejected with one line on stderr and the run goes on without it.
//
// Typical use inside a call:
//
//     TraceLine t;
//     trace_begin(&t, "StartPage");
//     long long forced;
//     if (fault_check("StartPage", &forced)) return (int)trace_fault(&t, forced);
//     ... do the work ...
//     return (int)trace_end(&t, result);
#pragma once

#include <cstddef>
#include <cstdint>

#include "../win32_types.h"

// One trace line under construction. The buffer is fixed: a line that would not fit is cut
// at a key boundary and closed with "truncated": true, so the line always stays valid JSON.
struct TraceLine {
    char text[16384];
    size_t length;
    bool active;    // tracing is on for this line
    bool overflow;  // a field was dropped for lack of room
};

// True when PELLMARK_TRACE names a file (decided once per process).
bool trace_enabled();

// Starts a line for the Win32 call `fn`. Cheap no-op when tracing is off.
void trace_begin(TraceLine *t, const char *fn);
// Adds "key": integer.
void trace_int(TraceLine *t, const char *key, long long value);
// Adds "key": a zero-terminated byte string (null pointer gives null). Each byte 0x00-0xFF
// becomes the code point of the same number.
void trace_str(TraceLine *t, const char *key, const char *text);
// Adds "key": the first `count` bytes of `bytes` as a JSON string (null pointer gives null).
void trace_bytes(TraceLine *t, const char *key, const void *bytes, size_t count);
// Adds "key": lowercase hex of `count` bytes, as a JSON string (null pointer gives null).
void trace_hex(TraceLine *t, const char *key, const void *bytes, size_t count);
// Adds "key": a handle as an integer (0 for null).
void trace_handle(TraceLine *t, const char *key, const void *handle);
// Adds "key": a DEVMODE as an object {deviceName, specVersion, fields, orientation,
// paperSize, paperLength, paperWidth, copies, defaultSource, collate, formName}, or null.
void trace_devmode(TraceLine *t, const char *key, const DEVMODEA *devmode);
// Adds "key": null.
void trace_null(TraceLine *t, const char *key);
// Adds "key": true/false.
void trace_bool(TraceLine *t, const char *key, bool value);
// Adds "key": raw JSON text, which the caller guarantees is well formed.
void trace_json(TraceLine *t, const char *key, const char *json);

// Finishes the line with "ret": result, writes it, and returns `result` for convenience.
long long trace_end(TraceLine *t, long long result);
// Finishes the line with "ret": handle as an integer, writes it; returns the handle.
void *trace_end_handle(TraceLine *t, const void *handle);
// Finishes the line with "fault": true and "ret": value; returns value.
long long trace_fault(TraceLine *t, long long value);
// Finishes a line of a call without a result (no "ret" key).
void trace_end_void(TraceLine *t);

// Counts one call of `fn` and answers whether the fault knob forces its result; when it
// does, *value receives the configured value. Every call of a faultable function must go
// through here exactly once so that "#n" counts right.
bool fault_check(const char *fn, long long *value);
// How many times fault_check has seen `fn` so far (for tests and for knobs keyed to another
// call's count, such as the progress dialog's Cancel).
long fault_calls(const char *fn);
// Forgets the parsed knob and the counters, and re-reads both environment variables at the
// next call. For unit tests of the layer.
void trace_reset_for_tests();
