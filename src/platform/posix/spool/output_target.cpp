// Where a file printer puts a document: see output_target.h.
#include "spool/output_target.h"

#include <cstdio>
#include <cstring>
#include <sys/stat.h>

namespace {

bool is_directory(const char *path) {
    struct stat st;
    size_t n = strlen(path);
    return (n > 0 && path[n - 1] == '/') || (stat(path, &st) == 0 && S_ISDIR(st.st_mode));
}

bool same_file(const char *a, const char *b) {
    struct stat sa, sb;
    if (stat(a, &sa) != 0 || stat(b, &sb) != 0) return false;
    return sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
}

// `name` with its last extension (a dot after the last slash, not leading the file name)
// replaced by `ext`; or with `ext` appended when `append`.
bool with_extension(const char *dir, const char *name, const char *ext, bool append, char *out,
                    size_t size) {
    const char *base = strrchr(name, '/');
    base = base ? base + 1 : name;
    const char *dot = strrchr(base, '.');
    size_t keep = (!append && dot && dot != base) ? (size_t)(dot - name) : strlen(name);
    const char *prefix = dir ? dir : "";
    const char *sep = (dir && *dir && dir[strlen(dir) - 1] != '/') ? "/" : "";
    if (dir) {  // only the file name goes into the directory
        keep -= (size_t)(base - name);
        name = base;
    }
    int n = snprintf(out, size, "%s%s%.*s%s", prefix, sep, (int)keep, name, ext);
    return n >= 0 && (size_t)n < size;
}

}  // namespace

bool output_target(const PrinterInfo *printer, const char *doc_name, const char *output,
                   const char *ext, char *out, size_t size, bool *pipe) {
    *pipe = false;
    if (output && *output) {
        int n = snprintf(out, size, "%s", output);
        return n >= 0 && (size_t)n < size;
    }
    const char *port = printer->port;
    if (port[0] == '|') {
        *pipe = true;
        int n = snprintf(out, size, "%s", port + 1);
        return n >= 0 && (size_t)n < size;
    }
    const char *name = (doc_name && *doc_name) ? doc_name : "document";
    bool beside = port[0] == 0 || strcmp(port, "FILE:") == 0;
    if (!beside && !is_directory(port)) {
        int n = snprintf(out, size, "%s", port);
        return n >= 0 && (size_t)n < size;
    }
    const char *dir = beside ? nullptr : port;
    if (!with_extension(dir, name, ext, false, out, size)) return false;
    if (same_file(out, name)) return with_extension(dir, name, ext, true, out, size);
    return true;
}
