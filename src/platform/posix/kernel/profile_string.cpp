// GetProfileStringA: the profile file first, then what the spooler knows, then the default.
#include <cstring>

#include "../core/hooks.h"
#include "../core/trace.h"
#include "../win32_api.h"
#include "profile.h"

namespace {

// The key list under construction: keys joined with 0 bytes, cut to fit `size`.
struct KeyList {
    char *out;
    size_t size;
    size_t used;  // bytes written, terminators included
    bool cut;
};

void add_key(const char *key, const char *, void *context) {
    KeyList *list = static_cast<KeyList *>(context);
    if (list->cut) return;
    size_t n = strlen(key) + 1;
    // Room must stay for the list's final 0 byte. A key that does not fit is cut (its part
    // that fits stays, as on Windows) and ends the list.
    if (list->used + n + 1 > list->size) {
        size_t part = list->size - 2 - list->used;
        memcpy(list->out + list->used, key, part);
        list->used += part;
        list->cut = true;
        return;
    }
    memcpy(list->out + list->used, key, n);
    list->used += n;
}

// Lists the keys of `section` as Windows does: each key 0-terminated and one more 0 at the
// end. A list that does not fit is cut inside its last key and ends in two 0 bytes; the
// result is then size - 2.
// Only the file's keys are listed: the spooler answers single keys, it does not enumerate.
DWORD list_keys(const char *section, char *out, DWORD size) {
    if (size < 2) {
        out[0] = '\0';
        return 0;
    }
    KeyList list = {out, size, 0, false};
    if (section != nullptr) profile_file_keys(section, add_key, &list);
    if (list.cut) {
        out[size - 2] = '\0';
        out[size - 1] = '\0';
        return size - 2;
    }
    out[list.used] = '\0';
    return (DWORD)list.used;
}

// Copies the default cut to size - 1, without its trailing blanks (as Windows drops them).
void copy_default(const char *deflt, char *out, DWORD size) {
    const char *text = deflt != nullptr ? deflt : "";
    size_t n = strlen(text);
    while (n > 0 && text[n - 1] == ' ') n--;
    if (n > size - 1) n = size - 1;
    memcpy(out, text, n);
    out[n] = '\0';
}

}  // namespace

// Result: the count of bytes written without the final 0; with a null key the count of the
// key list without its final 0. A null section (the list of all sections) gives an empty
// list: nothing in the program asks for it.
DWORD WINAPI GetProfileStringA(LPCSTR section, LPCSTR key, LPCSTR deflt, LPSTR out, DWORD size) {
    TraceLine t;
    trace_begin(&t, "GetProfileStringA");
    trace_str(&t, "section", section);
    trace_str(&t, "key", key);
    trace_str(&t, "default", deflt);
    trace_int(&t, "size", size);
    if (out == nullptr || size == 0) {
        trace_null(&t, "value");
        return (DWORD)trace_end(&t, 0);
    }
    DWORD count;
    if (section == nullptr || key == nullptr) {
        count = list_keys(section, out, size);
        trace_bytes(&t, "value", out, count);
        return (DWORD)trace_end(&t, count);
    }
    if (!profile_file_value(section, key, out, size) &&
        !hook_spooler_profile_value(section, key, out, size)) {
        copy_default(deflt, out, size);
    }
    out[size - 1] = '\0';
    count = (DWORD)strlen(out);
    trace_str(&t, "value", out);
    return (DWORD)trace_end(&t, count);
}
