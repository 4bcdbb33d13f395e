// CharToOemA and OemToCharA against glibc's iconv tables for CP1252 and CP437.
#include <gtest/gtest.h>
#include <iconv.h>

#include <string>

#include "platform/windows_services.h"

namespace {

// One byte converted by iconv, or -1 when iconv has no counterpart for it.
int iconv_byte(const char *to, const char *from, unsigned char b) {
    iconv_t cd = iconv_open(to, from);
    if (cd == (iconv_t)-1) return -2;
    char in[1] = {(char)b}, out[8];
    char *ip = in, *op = out;
    size_t il = 1, ol = sizeof out;
    size_t r = iconv(cd, &ip, &il, &op, &ol);
    iconv_close(cd);
    return (r == (size_t)-1 || op - out != 1) ? -1 : (unsigned char)out[0];
}

struct Direction {
    const char *name;
    BOOL(WINAPI *call)(LPCSTR, LPSTR);
    const char *from, *to;
};
const Direction directions[] = {{"CharToOemA", CharToOemA, "CP1252", "CP437"},
                                {"OemToCharA", OemToCharA, "CP437", "CP1252"}};

unsigned char convert(const Direction &d, unsigned char b) {
    char in[2] = {(char)b, 0}, out[2] = {1, 1};
    d.call(in, out);
    return (unsigned char)out[0];
}

}  // namespace

TEST(CodePages, EveryByteAgreesWithIconvOrIsABestFit) {
    for (const Direction &d : directions) {
        ASSERT_NE(iconv_byte(d.to, d.from, 'A'), -2) << "iconv lacks " << d.from << "/" << d.to;
        int fits = 0;
        for (int b = 1; b < 256; b++) {
            int expect = iconv_byte(d.to, d.from, (unsigned char)b);
            unsigned char got = convert(d, (unsigned char)b);
            if (expect >= 0) {
                EXPECT_EQ(got, expect) << d.name << " byte 0x" << std::hex << b;
            } else {
                fits++;
                // A best fit is a printable character of the target, never a control byte.
                EXPECT_GE(got, 0x20) << d.name << " byte 0x" << std::hex << b;
                EXPECT_NE(got, 0x7f) << d.name << " byte 0x" << std::hex << b;
            }
        }
        EXPECT_GT(fits, 0) << d.name;
    }
}

TEST(CodePages, BestFitsAndWholeTexts) {
    struct Row {
        const char *note;
        BOOL(WINAPI *call)(LPCSTR, LPSTR);
        std::string in, expect;
    } rows[] = {
        {"accented letters exist in both", CharToOemA, "\xe9\xe8\xfc\xc7", "\x82\x8a\x81\x80"},
        {"accent dropped when missing", CharToOemA, "\xc0\xd5", "AO"},
        {"typographic quotes become plain", CharToOemA, "\x93x\x94", "\"x\""},
        {"undefined ANSI byte", CharToOemA, "\x81", "?"},
        {"middle dot", CharToOemA, "\xb7", "\xfa"},
        {"box drawing", OemToCharA, "\xda\xc4\xbf\xb3", "+-+|"},
        {"shades", OemToCharA, "\xb0\xdb", "##"},
        {"greek", OemToCharA, "\xe0\xe3", "ap"},
        {"empty text", OemToCharA, "", ""},
    };
    for (const Row &row : rows) {
        char out[16];
        memset(out, 'Z', sizeof out);
        EXPECT_TRUE(row.call(row.in.c_str(), out)) << row.note;
        EXPECT_EQ(std::string(out), row.expect) << row.note;
        EXPECT_EQ(out[row.in.size()], 0) << row.note << ": terminator";
        EXPECT_EQ(out[row.in.size() + 1], 'Z') << row.note << ": nothing beyond";
    }
    char same[] = "caf\xe9";
    EXPECT_TRUE(CharToOemA(same, same));
    EXPECT_EQ(std::string(same), "caf\x82") << "in place";
    EXPECT_FALSE(CharToOemA(nullptr, same));
}
