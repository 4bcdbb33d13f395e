// wsprintfA's conversions as Windows has them, and its 1024-byte limit.
#include <gtest/gtest.h>

#include <string>

#include "platform/windows_services.h"

namespace {

struct Row {
    const char *note;
    std::string got;
    const char *expected;
};

template <typename... A>
std::string fmt(const char *format, A... args) {
    char buffer[1100];
    int n = wsprintfA(buffer, format, args...);
    std::string text(buffer);
    if (n != (int)text.size()) return "count " + std::to_string(n) + " for " + text;
    return text;
}

TEST(Wsprintf, ConversionsFlagsAndWidths) {
    static const char *null_text = nullptr;
    const Row rows[] = {
        {"plain text", fmt("Printing %s\n", "r.txt (page 3)"), "Printing r.txt (page 3)\n"},
        {"status text", fmt("%s (page %i)", "r.txt", 12), "r.txt (page 12)"},
        {"signed", fmt("%d|%i|%d", -5, 0, 2147483647), "-5|0|2147483647"},
        {"unsigned", fmt("%u", 4294967295u), "4294967295"},
        {"hex", fmt("%x %X", 0xbeefu, 0xbeefu), "beef BEEF"},
        {"hex prefix", fmt("%#x %#X", 255u, 255u), "0xff 0XFF"},
        {"char", fmt("[%c]", 'Q'), "[Q]"},
        {"LONG is 32 bits", fmt("%ld %lu %lx", -1L, 4294967295UL, 0x1234abcdUL),
         "-1 4294967295 1234abcd"},
        {"width right-aligns", fmt("[%5d][%5s]", 42, "ab"), "[   42][   ab]"},
        {"minus left-aligns", fmt("[%-5d][%-4s]", 42, "ab"), "[42   ][ab  ]"},
        {"zero pads after the sign", fmt("%010ld", -1L), "-000000001"},
        {"zero pad hex", fmt("%08lx", 0xabcUL), "00000abc"},
        {"precision cuts a string", fmt("%.3s", "abcdef"), "abc"},
        {"precision is a digit minimum", fmt("%.4d", 7), "0007"},
        {"percent sign", fmt("100%%"), "100%"},
        {"unknown conversion writes its letter", fmt("%y"), "y"},
        {"no floating point", fmt("%f", 1), "f"},
        {"null string", fmt("%s", null_text), "(null)"},
        {"64-bit prefix", fmt("%I64d", -543210000000LL), "-543210000000"},
    };
    for (const Row &row : rows) EXPECT_EQ(row.got, row.expected) << row.note;
}

TEST(Wsprintf, StopsAtTheWindowsLimitOf1024Bytes) {
    std::string long_text(2000, 'x');
    char buffer[2100];
    memset(buffer, '#', sizeof buffer);
    int n = wsprintfA(buffer, "%s", long_text.c_str());
    EXPECT_EQ(n, 1023);
    EXPECT_EQ(strlen(buffer), 1023u);
    EXPECT_EQ(buffer[1024], '#') << "nothing is written past 1024 bytes";
    n = wsprintfA(buffer, "%2000d", 1);
    EXPECT_EQ(n, 1023) << "a width past the limit is cut too";
}

}  // namespace
