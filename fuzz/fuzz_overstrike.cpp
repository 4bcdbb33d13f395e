// Fuzzes the overstrike decoder and the cutting of a decoded line into runs: the input is one
// report line (1 to 511 bytes, followed by the 0 byte the composer stores). Checked: the
// decoded text is never longer than the line, attributes only use the underline and bold
// bits, and the runs are non-empty maximal stretches of equal attributes that cover the text
// up to its first 0 byte from left to right at x = column x char width.
#include <cstdint>
#include <cstring>

#include "fuzz_scratch.h"
#include "render/overstrike.h"

namespace {

const int CHAR_WIDTH = 7;
const int LINE_Y = 1234;

struct Walk {
    const char *text;
    const BYTE *attributes;
    int next;  // index where the next run must begin
    int runs;
    int last_attribute;
};
Walk walk;

void record_run(PrintJob *, BYTE attributes, int x, int y, const char *text, WORD length) {
    int start = (int)(text - walk.text);
    FUZZ_CHECK(start == walk.next, "run at %d, expected %d", start, walk.next);
    FUZZ_CHECK(x == start * CHAR_WIDTH, "x %d for column %d", x, start);
    FUZZ_CHECK(y == LINE_Y, "y %d", y);
    FUZZ_CHECK(attributes == walk.attributes[start], "attribute %d, column has %d", attributes,
               walk.attributes[start]);
    for (int k = start; k < start + length; k++) {
        FUZZ_CHECK(walk.text[k] != 0, "run crosses the end of the text at %d", k);
        FUZZ_CHECK(walk.attributes[k] == attributes, "mixed attributes in a run at %d", k);
    }
    FUZZ_CHECK(length > 0 || (start == 0 && walk.text[0] == 0), "empty run at %d", start);
    FUZZ_CHECK(walk.runs == 0 || attributes != walk.last_attribute, "runs not maximal at %d",
               start);
    walk.next = start + length;
    walk.last_attribute = attributes;
    walk.runs++;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    if (size < 1) return 0;
    const int count = size < DECODE_BUFFER_SIZE ? (int)size : DECODE_BUFFER_SIZE - 1;
    char line[DECODE_BUFFER_SIZE];
    memcpy(line, data, count);
    line[count] = 0;
    char text[DECODE_BUFFER_SIZE];
    BYTE attributes[DECODE_BUFFER_SIZE];
    memset(text, 'x', sizeof text);
    memset(attributes, 0xEE, sizeof attributes);
    DecodeOverstrike(line, count, text, attributes);

    const char *end = (const char *)memchr(text, 0, sizeof text);
    FUZZ_CHECK(end != nullptr, "decoded text unterminated");
    const int length = (int)(end - text);
    FUZZ_CHECK(length <= count, "decoded %d characters from %d bytes", length, count);
    for (int k = 0; k < DECODE_BUFFER_SIZE; k++) {
        FUZZ_CHECK((attributes[k] & ~(ATTR_UNDERLINE | ATTR_BOLD)) == 0, "attribute %d at %d",
                   attributes[k], k);
        if (k >= count) FUZZ_CHECK(attributes[k] == 0, "attribute behind the line at %d", k);
    }

    walk = Walk{text, attributes, 0, 0, -1};
    EmitRunsThrough(record_run, nullptr, text, attributes, LINE_Y, CHAR_WIDTH);
    FUZZ_CHECK(walk.next == length, "runs end at %d, text at %d", walk.next, length);
    FUZZ_CHECK(walk.runs >= 1, "no run handed over");
    return 0;
}
