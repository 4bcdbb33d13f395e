// Turns a job's settings into the IPP job attributes the scheduler understands.
#include <cmath>
#include <cstdio>
#include <cstring>

#include "cups/cups_client.h"
#include "cups/cups_internal.h"
#include "cups/cups_job_options.h"
#include "printer/paper_tables.h"

namespace {

// The media-source keyword for a DMBIN_ code, or null when IPP has no counterpart (the
// queue's default tray is then used).
const char *source_keyword(int bin) {
    switch (bin) {
        case 1:
            return "top";  // DMBIN_UPPER
        case 2:
            return "bottom";  // DMBIN_LOWER
        case 3:
            return "middle";  // DMBIN_MIDDLE
        case 4:
            return "manual";  // DMBIN_MANUAL
        case 5:
            return "envelope";  // DMBIN_ENVELOPE
        case 6:
            return "manual";  // DMBIN_ENVMANUAL: envelopes fed by hand
        case 7:
            return "auto";  // DMBIN_AUTO
        case 11:
            return "large-capacity";  // DMBIN_LARGECAPACITY
        case 14:
            return "main";  // DMBIN_CASSETTE
        default:
            return nullptr;
    }
}

// The paper size in hundredths of mm the options ask for: an explicit size wins over a
// paper code, which wins over a form name. False when none is given or known.
bool paper_size(const CupsJobOptions *opt, int *width_hmm, int *length_hmm) {
    if (opt->width_tenth_mm > 0 && opt->length_tenth_mm > 0) {
        *width_hmm = opt->width_tenth_mm * 10;
        *length_hmm = opt->length_tenth_mm * 10;
        return true;
    }
    const PaperForm *form = nullptr;
    for (const PaperForm *row = paper_forms; row->name && opt->paper_code > 0; row++)
        if (row->code == opt->paper_code) form = row;
    if (!form && opt->form_name[0]) form = FindPaperForm(opt->form_name);
    if (!form) return false;
    *width_hmm = static_cast<int>(std::lround(form->width_mm * 100.0));
    *length_hmm = static_cast<int>(std::lround(form->length_mm * 100.0));
    return true;
}

// Length of the UTF-8 sequence that starts at `s` (1 to 4), or 0 when it is not one.
size_t utf8_sequence(const unsigned char *s) {
    if (s[0] < 0x80) return 1;
    size_t n = (s[0] & 0xe0) == 0xc0   ? 2
               : (s[0] & 0xf0) == 0xe0 ? 3
               : (s[0] & 0xf8) == 0xf0 ? 4
                                       : 0;
    if (n == 0 || (n == 2 && s[0] < 0xc2)) return 0;
    for (size_t i = 1; i < n; i++)
        if ((s[i] & 0xc0) != 0x80) return 0;
    return n;
}

}  // namespace

void cups_job_title(const char *in, char *out, size_t size) {
    if (size == 0) return;
    const unsigned char *s = reinterpret_cast<const unsigned char *>(in ? in : "");
    if (!*s) s = reinterpret_cast<const unsigned char *>("Untitled");
    size_t used = 0;
    while (*s) {
        size_t n = utf8_sequence(s);
        char latin[2];
        const char *piece = reinterpret_cast<const char *>(s);
        size_t len = n;
        if (n == 0) {
            // Not UTF-8: an ANSI byte. Latin-1 letters map to U+00A0..U+00FF; the 0x80..0x9F
            // row of the ANSI page has no such shortcut and becomes "?".
            if (*s >= 0xa0) {
                latin[0] = static_cast<char>(0xc0 | (*s >> 6));
                latin[1] = static_cast<char>(0x80 | (*s & 0x3f));
                len = 2;
            } else {
                latin[0] = '?';
                len = 1;
            }
            piece = latin;
            n = 1;
        }
        if (used + len + 1 > size) break;  // whole characters only
        memcpy(out + used, piece, len);
        used += len;
        s += n;
    }
    out[used] = '\0';
}

bool cups_media_name(const CupsJobOptions *opt, char *out, size_t size) {
    int width = 0, length = 0;
    if (!opt || !paper_size(opt, &width, &length)) return false;
    pwg_media_t *media = pwgMediaForSize(width, length);
    if (!media || !media->pwg) return false;
    cups_copy_text(out, size, media->pwg);
    return true;
}

int cups_job_attributes(const CupsJobOptions *opt, cups_option_t **options) {
    int count = 0;
    if (!opt) return 0;
    char text[64];
    if (opt->copies > 1) {
        snprintf(text, sizeof text, "%d", opt->copies);
        count = cupsAddOption("copies", text, count, options);
        count = cupsAddOption("multiple-document-handling",
                              opt->collate ? "separate-documents-collated-copies"
                                           : "separate-documents-uncollated-copies",
                              count, options);
    }
    if (cups_media_name(opt, text, sizeof text))
        count = cupsAddOption("media", text, count, options);
    if (opt->orientation == 1) count = cupsAddOption("orientation-requested", "3", count, options);
    if (opt->orientation == 2) count = cupsAddOption("orientation-requested", "4", count, options);
    const char *source = source_keyword(opt->source);
    if (source) count = cupsAddOption("media-source", source, count, options);
    return count;
}
