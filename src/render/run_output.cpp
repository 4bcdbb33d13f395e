// Run output and ruler: draws one run of a decoded line in the font of its attributes, or
// passes its bytes to the printer untouched; draws the tick ruler across the page.
#include "render/run_output.h"

#include <cstring>
#include <new>

#include "diag/debug_log.h"
#include "render/overstrike.h"

HFONT report_fonts[4];

char *raw_buffer = nullptr;
int raw_buffer_size = 0;
char *translate_buffer = nullptr;
int translate_buffer_length = 0;

namespace {

// Indexes of report_fonts.
const int FONT_NORMAL = 0;
const int FONT_BOLD = 1;
const int FONT_UNDERLINE = 2;
const int FONT_BOLD_UNDERLINE = 3;

const int RULER_STEP = 10;
const int RULER_LONG_EVERY = 50;
const int RULER_SHORT = 10;
const int RULER_LONG = 20;

// Replaces *buffer by fresh storage of `size` bytes; the old content is not kept because
// every caller fills the buffer completely. The old storage goes only once the new exists, so
// a failed grow leaves the buffer as it was. False when there is no memory (logged).
bool GrowBuffer(char **buffer, int size) {
    char *fresh = new (std::nothrow) char[size];
    if (!fresh) {
        DebugPrintf("OutputRun: no memory for %d bytes, run skipped\n", size);
        return false;
    }
    delete[] * buffer;
    *buffer = fresh;
    return true;
}

// The report font for an attribute byte: both bits first, then underline, then bold.
HFONT FontFor(BYTE attributes) {
    if (attributes == 0) return report_fonts[FONT_NORMAL];
    bool underline = (attributes & ATTR_UNDERLINE) != 0;
    bool bold = (attributes & ATTR_BOLD) != 0;
    if (underline && bold) return report_fonts[FONT_BOLD_UNDERLINE];
    if (underline) return report_fonts[FONT_UNDERLINE];
    return report_fonts[FONT_BOLD];
}

// Raw mode: the run goes to the printer's data stream as it is, behind a 16-bit count in
// little-endian order. The input count handed to Escape is the whole buffer (count + bytes),
// as the escape's documentation asks, so drivers that honour it see every byte.
void PassThrough(PrintJob *job, const char *text, WORD length) {
    int needed = length + 2;
    if (needed > raw_buffer_size) {
        if (!GrowBuffer(&raw_buffer, needed)) return;
        raw_buffer_size = needed;
    }
    raw_buffer[0] = (char)(length & 0xFF);
    raw_buffer[1] = (char)(length >> 8);
    memcpy(raw_buffer + 2, text, length);
    Escape(job->printer_dc, PASSTHROUGH, needed, raw_buffer, nullptr);
}

// Translates the text from the run to the end of the line (one direction at most, oem
// winning over ansi) and returns what to draw from; null when the run must be skipped for
// lack of memory. Both translations map byte for byte, so the run is the result's head.
const char *Translated(PrintJob *job, const char *text) {
    if (!job->oem && !job->ansi) return text;
    int tail = (int)strlen(text);
    if (tail == 0) return text;
    if (tail > translate_buffer_length) {
        if (!GrowBuffer(&translate_buffer, tail + 1)) return nullptr;
        translate_buffer_length = tail;
    }
    // A translation that fails leaves the buffer undefined: the run is then drawn as it is.
    BOOL done = job->oem ? CharToOemA(text, translate_buffer) : OemToCharA(text, translate_buffer);
    return done ? translate_buffer : text;
}

}  // namespace

// Draws one run at (x, y) in device units, or passes it through in raw mode. The results of
// the drawing calls are not looked at: a run that fails to draw leaves its place empty.
void OutputRun(PrintJob *job, BYTE attributes, int x, int y, const char *text, WORD length) {
    if (job->raw) {
        PassThrough(job, text, length);
        return;
    }
    SelectObject(job->printer_dc, FontFor(attributes));
    const char *drawn = Translated(job, text);
    if (!drawn) return;
    TextOutA(job->printer_dc, x, y, drawn, length);
}

// Ticks every 10 device units across the printable width, long ones every 50, hanging down
// from y; drawn with the device context's current pen.
void DrawRuler(PrintJob *job, int y) {
    if (!job->ruler) return;
    int width = GetDeviceCaps(job->printer_dc, HORZRES);
    for (int x = 0; x <= width; x += RULER_STEP) {
        int tick = (x % RULER_LONG_EVERY == 0) ? RULER_LONG : RULER_SHORT;
        MoveToEx(job->printer_dc, x, y, nullptr);
        LineTo(job->printer_dc, x, y + tick);
    }
}
