// FormatMessageA for system messages, and LocalFree for the texts it allocates.
#include "messages.h"

#include <cstdlib>
#include <cstring>
#include <mutex>
#include <set>

#include "../core/trace.h"
#include "../win32_api.h"
#include "errors.h"

namespace {

// The blocks FormatMessageA gave out and LocalFree has not taken back, so that LocalFree can
// refuse a pointer it never gave instead of corrupting the heap.
std::mutex local_lock;
std::set<void *> local_blocks;

void *local_alloc(size_t bytes) {
    void *block = malloc(bytes);
    if (block == nullptr) return nullptr;
    std::lock_guard<std::mutex> hold(local_lock);
    local_blocks.insert(block);
    return block;
}

// The text to hand out, in `shaped` (which holds any stored text). With
// FORMAT_MESSAGE_MAX_WIDTH_MASK the caller asks for no line breaks, and Windows then turns the
// text's line break into one blank ("Access is denied. "). Other widths are not wrapped:
// every text here is one short sentence. Result: the length.
size_t shape_text(const char *text, DWORD flags, char *shaped, size_t room) {
    size_t n = strlen(text);
    if (n >= room) n = room - 1;
    memcpy(shaped, text, n);
    if ((flags & FORMAT_MESSAGE_MAX_WIDTH_MASK) == FORMAT_MESSAGE_MAX_WIDTH_MASK && n >= 2 &&
        shaped[n - 2] == '\r' && shaped[n - 1] == '\n') {
        shaped[n - 2] = ' ';
        n--;
    }
    shaped[n] = '\0';
    return n;
}

// Stores `n` bytes of `text` for the caller. With FORMAT_MESSAGE_ALLOCATE_BUFFER `buffer` is
// really a char ** that receives a block of at least `size` bytes; else the text must fit in
// `size` bytes with its 0. Result: the count stored, 0 with the last error on failure.
DWORD deliver(DWORD flags, const char *text, size_t n, LPSTR buffer, DWORD size) {
    if (flags & FORMAT_MESSAGE_ALLOCATE_BUFFER) {
        size_t bytes = n + 1 > size ? n + 1 : size;
        char *block = static_cast<char *>(local_alloc(bytes));
        if (block == nullptr) {
            set_last_error(ERROR_NOT_ENOUGH_MEMORY);
            return 0;
        }
        memcpy(block, text, n);
        block[n] = '\0';
        *reinterpret_cast<char **>(buffer) = block;
        return (DWORD)n;
    }
    if (n + 1 > size) {
        set_last_error(ERROR_INSUFFICIENT_BUFFER);
        return 0;
    }
    memcpy(buffer, text, n);
    buffer[n] = '\0';
    return (DWORD)n;
}

}  // namespace

// Only FORMAT_MESSAGE_FROM_SYSTEM is served: the texts have no inserts, so `arguments` and
// FORMAT_MESSAGE_IGNORE_INSERTS change nothing, and every language gets the English texts.
// A message string or module as the source fails with ERROR_INVALID_PARAMETER; a code
// without a text fails with ERROR_MR_MID_NOT_FOUND, as on Windows.
DWORD WINAPI FormatMessageA(DWORD flags, LPCVOID, DWORD code, DWORD, LPSTR buffer, DWORD size,
                            va_list *) {
    TraceLine t;
    trace_begin(&t, "FormatMessageA");
    trace_int(&t, "flags", flags);
    trace_int(&t, "code", code);
    trace_int(&t, "size", size);
    bool from_system = (flags & FORMAT_MESSAGE_FROM_SYSTEM) != 0;
    bool other_source = (flags & (FORMAT_MESSAGE_FROM_STRING | FORMAT_MESSAGE_FROM_HMODULE)) != 0;
    if (!from_system || other_source || buffer == nullptr) {
        set_last_error(ERROR_INVALID_PARAMETER);
        trace_null(&t, "text");
        return (DWORD)trace_end(&t, 0);
    }
    const char *text = system_message_text(code);
    if (text == nullptr) {
        set_last_error(ERROR_MR_MID_NOT_FOUND);
        trace_null(&t, "text");
        return (DWORD)trace_end(&t, 0);
    }
    char shaped[256];
    size_t n = shape_text(text, flags, shaped, sizeof shaped);
    DWORD count = deliver(flags, shaped, n, buffer, size);
    if (count == 0) {
        trace_null(&t, "text");
    } else {
        trace_bytes(&t, "text", shaped, n);
    }
    return (DWORD)trace_end(&t, count);
}

// Result: NULL when the block was freed (or was NULL), else the block itself with
// ERROR_INVALID_HANDLE, as Windows answers for a handle that is not a local block.
HLOCAL WINAPI LocalFree(HLOCAL memory) {
    TraceLine t;
    trace_begin(&t, "LocalFree");
    trace_handle(&t, "mem", memory);
    if (memory == nullptr) return (HLOCAL)trace_end_handle(&t, nullptr);
    {
        std::lock_guard<std::mutex> hold(local_lock);
        if (local_blocks.erase(memory) == 0) {
            set_last_error(ERROR_INVALID_HANDLE);
            return (HLOCAL)trace_end_handle(&t, memory);
        }
    }
    free(memory);
    return (HLOCAL)trace_end_handle(&t, nullptr);
}
