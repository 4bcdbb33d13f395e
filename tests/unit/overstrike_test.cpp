// The overstrike decoder and the cutting of decoded lines into runs.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "job/print_job.h"
#include "render/overstrike.h"

namespace {

const std::string BS = "\b";
const std::string US = "_";
const char DOT = (char)183;

// Shows bytes readably in failure messages: printable ASCII as is, others as <hex>.
std::string Show(const std::string &bytes) {
    std::string out;
    char hex[8];
    for (unsigned char c : bytes) {
        if (c >= 0x20 && c < 0x7f) {
            out += (char)c;
        } else {
            snprintf(hex, sizeof hex, "<%02x>", c);
            out += hex;
        }
    }
    return out;
}

struct Decoded {
    std::string text;
    std::vector<int> attributes;  // one per decoded character
};

// Decodes `line` as the composer hands it over: the counted bytes and a 0 byte behind them.
// The attribute buffer starts dirty, to show that every line clears it.
Decoded Decode(const std::string &line) {
    char buffer[DECODE_BUFFER_SIZE];
    memset(buffer, 'Z', sizeof buffer);
    memcpy(buffer, line.data(), line.size());
    buffer[line.size()] = 0;
    char text[DECODE_BUFFER_SIZE];
    BYTE attributes[DECODE_BUFFER_SIZE];
    memset(attributes, 0xEE, sizeof attributes);
    DecodeOverstrike(buffer, (int)line.size(), text, attributes);
    Decoded d;
    d.text = text;
    for (size_t i = 0; i < d.text.size(); i++) d.attributes.push_back(attributes[i]);
    for (size_t i = d.text.size(); i < sizeof attributes; i++)
        EXPECT_EQ(attributes[i], 0) << "attribute byte " << i << " behind the text not cleared";
    return d;
}

TEST(DecodeOverstrike, EdgeCases) {
    struct Row {
        std::string line;
        std::string text;
        std::vector<int> attributes;
        const char *note;
    } rows[] = {
        {"abc", "abc", {0, 0, 0}, "plain text"},
        {"a" + BS + US + "b", "ab", {1, 0}, "underlined a"},
        {"a" + BS + "a", "a", {2}, "bold a"},
        {"a" + BS + "a" + BS + US, "a", {3}, "bold then underline"},
        {"a" + BS + US + BS + "a", "a", {3}, "underline then bold"},
        {"a" + BS + "a" + BS + "a" + BS + US + BS + US, "a", {3}, "marks accumulate"},
        {US + BS + "a", "_a", {0, 0}, "underscore before the backspace is no overstrike"},
        {"x" + BS + "y", "xy", {0, 0}, "backspace before another byte is dropped"},
        {"x" + BS + "m", std::string("x") + DOT, {0, 0}, "BS m is the middle dot"},
        {"x" + BS + "w", std::string("x") + DOT, {0, 0}, "BS w is the middle dot"},
        {"m" + BS + "m", "m", {2}, "equality wins over the m rule"},
        {"w" + BS + "w", "w", {2}, "equality wins over the w rule"},
        {BS + US + "a", "a", {0}, "underline with nothing before it marks nothing"},
        {BS + "a", "a", {0}, "leading backspace dropped"},
        {BS + "w", std::string(1, DOT), {0}, "leading BS w alone"},
        {"a" + BS + BS + "a", "a", {2}, "first backspace dropped, second bolds"},
        {"abc" + BS, "abc", {0, 0, 0}, "final backspace looks at the terminator only"},
        {"ab" + BS + "bcd", "abcd", {0, 2, 0, 0}, "bold b inside the line"},
        {"x" + BS + "m" + BS + US, std::string("x") + DOT, {0, 1}, "a made dot takes marks"},
        {std::string(1, DOT) + BS + "m", std::string(2, DOT), {0, 0}, "dot then BS m"},
        {"\xe9" + BS + "\xe9" + BS + US, "\xe9", {3}, "bytes above 127 like letters"},
        {"\t" + BS + "\t", "\t", {2}, "control bytes like letters"},
        {std::string(1, '\0'), std::string(), {}, "blank line in normal mode"},
        {std::string("ab\0cd", 5), "ab", {0, 0}, "a 0 byte ends the printed text"},
        {"abc\n", "abc\n", {0, 0, 0, 0}, "raw mode keeps the line feed"},
    };
    for (const Row &row : rows) {
        Decoded got = Decode(row.line);
        EXPECT_EQ(Show(got.text), Show(row.text)) << row.note << ": line " << Show(row.line);
        EXPECT_EQ(got.attributes, row.attributes) << row.note << ": line " << Show(row.line);
    }
}

TEST(DecodeOverstrike, LongestLineFitsWithItsTerminator) {
    std::string line(511, 'x');
    Decoded got = Decode(line);
    EXPECT_EQ(got.text.size(), 511u);
}

struct EmittedRun {
    int attributes;
    int x;
    int y;
    std::string text;
    int length;
    bool operator==(const EmittedRun &o) const {
        return attributes == o.attributes && x == o.x && y == o.y && text == o.text &&
               length == o.length;
    }
};

std::vector<EmittedRun> recorded;

void Record(PrintJob *, BYTE attributes, int x, int y, const char *text, WORD length) {
    recorded.push_back({attributes, x, y, std::string(text, length), length});
}

std::string ShowRuns(const std::vector<EmittedRun> &runs) {
    std::string out;
    for (const EmittedRun &r : runs)
        out += "{attr " + std::to_string(r.attributes) + ", x " + std::to_string(r.x) + ", y " +
               std::to_string(r.y) + ", \"" + Show(r.text) + "\", len " + std::to_string(r.length) +
               "} ";
    return out;
}

TEST(EmitRuns, RunsArePositionedOnTheGrid) {
    const int W = 60;
    const int Y = 300;
    struct Row {
        std::string line;
        std::vector<EmittedRun> runs;
        const char *note;
    } rows[] = {
        {"abc", {{0, 0, Y, "abc", 3}}, "one plain run"},
        {"a" + BS + US + "b", {{1, 0, Y, "a", 1}, {0, W, Y, "b", 1}}, "underline"},
        {"ab" + BS + "bcd",
         {{0, 0, Y, "a", 1}, {2, W, Y, "b", 1}, {0, 2 * W, Y, "cd", 2}},
         "bold in the middle: three runs"},
        {std::string(1, '\0'), {{0, 0, Y, "", 0}}, "blank line: one empty run at x 0"},
        {std::string("ab\0cd", 5), {{0, 0, Y, "ab", 2}}, "nothing after a 0 byte"},
        {"abc\n", {{0, 0, Y, "abc\n", 4}}, "raw line: the line feed rides along"},
        {"a" + BS + "a" + "b" + BS + "b", {{2, 0, Y, "ab", 2}}, "equal attributes merge"},
        {"x" + BS + "m" + "y",
         {{0, 0, Y, std::string("x") + DOT + "y", 3}},
         "the middle dot takes one column"},
    };
    for (const Row &row : rows) {
        char buffer[DECODE_BUFFER_SIZE] = {};
        memcpy(buffer, row.line.data(), row.line.size());
        char text[DECODE_BUFFER_SIZE];
        BYTE attributes[DECODE_BUFFER_SIZE];
        DecodeOverstrike(buffer, (int)row.line.size(), text, attributes);
        recorded.clear();
        PrintJob job{};
        EmitRunsThrough(Record, &job, text, attributes, Y, W);
        EXPECT_EQ(recorded, row.runs)
            << row.note << ": line " << Show(row.line) << "\n  expected " << ShowRuns(row.runs)
            << "\n  got      " << ShowRuns(recorded);
    }
}

}  // namespace
