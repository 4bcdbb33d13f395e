// The printers the spooler knows: see printer_registry.h.
#include "spool/printer_registry.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "cups/cups_client.h"
#include "kernel/profile.h"
#include "spool/system_paper.h"

namespace {

struct DriverName {
    PrinterDriver driver;
    const char *name;
};
const DriverName driver_names[] = {
    {DRIVER_PDF, "pdf"}, {DRIVER_PS, "ps"}, {DRIVER_RAW, "raw"}, {DRIVER_CUPS, "cups"}};

bool same_ascii(const char *a, const char *b) {
    for (;; a++, b++) {
        char x = (*a >= 'A' && *a <= 'Z') ? (char)(*a + 32) : *a;
        char y = (*b >= 'A' && *b <= 'Z') ? (char)(*b + 32) : *b;
        if (x != y) return false;
        if (!x) return true;
    }
}

// Copies [begin, end) without surrounding blanks into out; false when it does not fit.
bool copy_trimmed(const char *begin, const char *end, char *out, size_t size) {
    while (begin < end && (*begin == ' ' || *begin == '\t')) begin++;
    while (end > begin && (end[-1] == ' ' || end[-1] == '\t')) end--;
    if ((size_t)(end - begin) >= size) return false;
    memcpy(out, begin, (size_t)(end - begin));
    out[end - begin] = 0;
    return true;
}

// A length such as "0.25in", "6mm", "18pt" or "0.5" (inches) in hundredths of a millimetre.
bool parse_length(const char *text, int *hmm) {
    char *end;
    errno = 0;
    double v = strtod(text, &end);
    if (end == text || errno || v < 0) return false;
    double per_unit = 2540.0;  // inches unless told otherwise
    if (strcmp(end, "mm") == 0)
        per_unit = 100.0;
    else if (strcmp(end, "pt") == 0)
        per_unit = 2540.0 / 72.0;
    else if (*end && strcmp(end, "in") != 0)
        return false;
    double h = v * per_unit;
    if (h > 100000) return false;  // a metre of margin is a typo
    *hmm = (int)(h + 0.5);
    return true;
}

// "margins=L" (all four sides) or "margins=L:T:R:B".
bool parse_margins(const char *text, int margins[4]) {
    char parts[4][32];
    int n = 0;
    const char *p = text;
    while (n < 4) {
        const char *colon = strchr(p, ':');
        const char *end = colon ? colon : p + strlen(p);
        if (!copy_trimmed(p, end, parts[n], sizeof parts[n])) return false;
        n++;
        if (!colon) break;
        p = colon + 1;
    }
    if (n != 1 && n != 4) return false;
    for (int i = 0; i < 4; i++)
        if (!parse_length(parts[n == 1 ? 0 : i], &margins[i])) return false;
    return true;
}

bool parse_option(const char *option, PrinterInfo *out) {
    if (strncmp(option, "dpi=", 4) == 0) {
        char *end;
        long dpi = strtol(option + 4, &end, 10);
        if (end == option + 4 || *end || dpi < 72 || dpi > 4800) return false;
        out->dpi = (int)dpi;
        return true;
    }
    if (strncmp(option, "margins=", 8) == 0) return parse_margins(option + 8, out->margin_hmm);
    // "version=0x30A": a driver of the Windows 3.1 device mode layout, whose device mode
    // carries neither a form name nor collation.
    if (strncmp(option, "version=", 8) == 0) {
        char *end;
        long version = strtol(option + 8, &end, 0);
        if (end == option + 8 || *end || version < 0x300 || version > DM_SPECVERSION) return false;
        out->spec_version = (WORD)version;
        return true;
    }
    // "engine=cairo" draws PDF through cairo, "engine=direct" (the default) writes it directly.
    if (strcmp(option, "engine=cairo") == 0 || strcmp(option, "engine=direct") == 0) {
        out->cairo_engine = option[7] == 'c';
        return true;
    }
    return false;
}

void set_builtin_defaults(PrinterInfo *out) {
    out->dpi = DEFAULT_DPI;
    for (int &m : out->margin_hmm) m = BUILTIN_MARGIN_HMM;
    system_paper(&out->width_hmm, &out->length_hmm, out->media_name, sizeof out->media_name);
    out->raw_queue = false;
    out->cairo_engine = false;
}

void from_queue(const CupsQueue *q, PrinterInfo *out) {
    memset(out, 0, sizeof *out);
    snprintf(out->name, sizeof out->name, "%s", q->name);
    snprintf(out->port, sizeof out->port, "%s", q->name);
    out->driver = DRIVER_CUPS;
    out->origin = ORIGIN_CUPS;
    set_builtin_defaults(out);
    if (q->width_hmm > 0 && q->length_hmm > 0) {
        out->width_hmm = q->width_hmm;
        out->length_hmm = q->length_hmm;
        snprintf(out->media_name, sizeof out->media_name, "%s", q->media_default);
    }
    const int reported[4] = {q->left_hmm, q->top_hmm, q->right_hmm, q->bottom_hmm};
    for (int i = 0; i < 4; i++)
        if (reported[i] >= 0) out->margin_hmm[i] = reported[i];
    out->raw_queue = q->raw;
}

bool from_profile(const char *name, PrinterInfo *out) {
    char value[1200];
    if (!profile_file_value("devices", name, value, sizeof value)) return false;
    PrinterInfo p{};
    if (!registry_parse_entry(value, &p)) return false;
    snprintf(p.name, sizeof p.name, "%s", name);
    *out = p;
    return true;
}

bool builtin(const char *name, PrinterInfo *out) {
    PrinterDriver driver;
    if (same_ascii(name, "PDF"))
        driver = DRIVER_PDF;
    else if (same_ascii(name, "PostScript"))
        driver = DRIVER_PS;
    else
        return false;
    memset(out, 0, sizeof *out);
    snprintf(out->name, sizeof out->name, "%s", driver == DRIVER_PDF ? "PDF" : "PostScript");
    snprintf(out->port, sizeof out->port, "%s", "FILE:");
    out->driver = driver;
    out->origin = ORIGIN_BUILTIN;
    set_builtin_defaults(out);
    return true;
}

// A scheduler refuses queue names with blanks, '/', '#' or more than 127 bytes, so such a name
// is unknown whether or not the scheduler can be asked.
bool could_be_queue(const char *name) {
    size_t n = strlen(name);
    if (n == 0 || n > 127) return false;
    for (size_t i = 0; i < n; i++) {
        unsigned char c = (unsigned char)name[i];
        if (c <= ' ' || c == 0x7f || c == '/' || c == '#') return false;
    }
    return true;
}

}  // namespace

const char *registry_driver_name(PrinterDriver driver) {
    for (const DriverName &d : driver_names)
        if (d.driver == driver) return d.name;
    return "";
}

PrinterDriver registry_driver_of(const char *name) {
    for (const DriverName &d : driver_names)
        if (same_ascii(d.name, name)) return d.driver;
    return DRIVER_NONE;
}

bool registry_parse_entry(const char *value, PrinterInfo *out) {
    char field[1024];
    const char *p = value;
    int index = 0;
    set_builtin_defaults(out);
    out->origin = ORIGIN_PROFILE;
    out->port[0] = 0;
    for (;;) {
        const char *comma = strchr(p, ',');
        const char *end = comma ? comma : p + strlen(p);
        if (!copy_trimmed(p, end, field, sizeof field)) return false;
        if (index == 0) {
            out->driver = registry_driver_of(field);
            if (out->driver == DRIVER_NONE || out->driver == DRIVER_CUPS) return false;
        } else if (index == 1) {
            snprintf(out->port, sizeof out->port, "%s", field);
        } else if (field[0] && !parse_option(field, out)) {
            return false;
        }
        index++;
        if (!comma) break;
        p = comma + 1;
    }
    return true;
}

bool registry_find(const char *name, PrinterInfo *out, DWORD *error) {
    if (!name || !*name) {
        *error = ERROR_INVALID_PRINTER_NAME;
        return false;
    }
    if (from_profile(name, out)) return true;
    DWORD cups_error = ERROR_INVALID_PRINTER_NAME;
    if (could_be_queue(name)) {
        CupsQueue q;
        if (cups_find_queue(name, &q)) {
            from_queue(&q, out);
            return true;
        }
        cups_error = cups_last_error();
    }
    if (builtin(name, out)) return true;
    *error = cups_error ? cups_error : ERROR_INVALID_PRINTER_NAME;
    return false;
}

void registry_default_printer(PrinterInfo *out) {
    static CupsQueue queues[64];
    int n = cups_list_queues(queues, 64);
    for (int i = 0; i < n; i++) {
        if (!queues[i].is_default) continue;
        if (!from_profile(queues[i].name, out)) from_queue(&queues[i], out);
        return;
    }
    builtin("PDF", out);
}

void registry_profile_entry(const PrinterInfo *printer, char *out, size_t size) {
    snprintf(out, size, "%s,%s", registry_driver_name(printer->driver), printer->port);
}
