// The overstrike decoder: typewriter backspace sequences become characters with attribute
// bytes, and the decoded line is handed to the run output in stretches of equal attributes.
#include "render/overstrike.h"

#include <cstring>

#include "render/run_output.h"

namespace {

const char BACKSPACE = 8;
const char UNDERSCORE = '_';
// BS followed by m or w stands for a character of its own: the ANSI middle dot.
const char MIDDLE_DOT = (char)183;

// Applies the byte d that follows a backspace to the decoded text so far (j characters).
// Returns how many characters the sequence added (0 or 1) and sets *consumed when d was
// used up by the sequence; an unused d is decoded by the caller as a byte of its own.
int ApplyBackspace(char d, char *text, BYTE *attributes, int j, bool *consumed) {
    *consumed = true;
    if (d == UNDERSCORE) {
        if (j > 0) attributes[j - 1] |= ATTR_UNDERLINE;
        return 0;
    }
    // The equality test comes first, so "m, BS, m" is a bold m, not a middle dot.
    if (j > 0 && text[j - 1] == d) {
        attributes[j - 1] |= ATTR_BOLD;
        return 0;
    }
    if (d == 'm' || d == 'w') {
        text[j] = MIDDLE_DOT;
        return 1;
    }
    *consumed = false;
    return 0;
}

}  // namespace

// The line holds `count` bytes (1..511) and a 0 byte behind them, so a backspace that is the
// last counted byte looks at that 0 byte and never past it. The text never gets more
// characters than the line has bytes, so it fits the 512-byte buffers with its terminator.
void DecodeOverstrike(const char *line, int count, char *text, BYTE *attributes) {
    memset(attributes, 0, DECODE_BUFFER_SIZE);
    int i = 0;
    int j = 0;
    while (i < count) {
        if (line[i] != BACKSPACE) {
            text[j++] = line[i++];
            continue;
        }
        i++;
        bool consumed = false;
        j += ApplyBackspace(line[i], text, attributes, j, &consumed);
        if (consumed) i++;
    }
    text[j] = 0;
}

// Walks the decoded text up to its first 0 byte. Every run but the last has at least one
// character; the last is handed over in every case, empty only for an empty text.
void EmitRunsThrough(RunSink sink, PrintJob *job, const char *text, const BYTE *attributes, int y,
                     int char_width) {
    int s = 0;
    int k = 0;
    while (text[k] != 0) {
        if (attributes[k] == attributes[s]) {
            k++;
            continue;
        }
        sink(job, attributes[s], s * char_width, y, text + s, (WORD)(k - s));
        s = k;
    }
    sink(job, attributes[s], s * char_width, y, text + s, (WORD)(k - s));
}

// The production road: every run goes to OutputRun.
void EmitRuns(PrintJob *job, const char *text, const BYTE *attributes, int y, int char_width) {
    EmitRunsThrough(OutputRun, job, text, attributes, y, char_width);
}
