// Kernel services as Win32 defines them: MulDiv rounding, the system error texts, global
// memory blocks, the version query and profile string defaults.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "platform/windows_services.h"

TEST(Win32MulDiv, RoundsHalvesAwayFromZeroAndFailsWithMinusOne) {
    struct Row {
        int number, numerator, denominator, expect;
        const char *note;
    } rows[] = {
        {10, 300, 72, 42, "pitch 10 at 300 dpi: 41.67 rounds up"},
        {12, 600, 72, 100, "exact"},
        {3, 5, 2, 8, "7.5 rounds away from zero"},
        {-3, 5, 2, -8, "-7.5 rounds away from zero"},
        {3, -5, 2, -8, "negative numerator"},
        {3, 5, -2, -8, "negative denominator"},
        {-3, -5, -2, -8, "three negatives"},
        {1, 1, 3, 0, "a third rounds down"},
        {2, 1, 3, 1, "two thirds round up"},
        {-1, 1, 3, 0, "minus a third rounds to 0"},
        {-2, 1, 3, -1, "minus two thirds round to -1"},
        {1, 2, 0, -1, "division by zero"},
        {0, 0, 0, -1, "0/0 is a division by zero too"},
        {0x7fffffff, 2, 1, -1, "overflow"},
        {0x7fffffff, 2, 2, 0x7fffffff, "the 64-bit product does not overflow"},
        {-0x7fffffff, 2, 2, -0x7fffffff, "most negative result that fits the magnitude check"},
        {96, 72, 96, 72, "identity"},
    };
    for (const Row &row : rows) {
        EXPECT_EQ(MulDiv(row.number, row.numerator, row.denominator), row.expect)
            << row.note << ": MulDiv(" << row.number << ", " << row.numerator << ", "
            << row.denominator << ")";
    }
}

// The wording is Windows' own and is checked against the layer's table in the unit tests:
// Wine words its texts differently on purpose ("Access denied." for 5, "Success." for 0), so
// here only the shape of the answer is checked, which every Win32 shares.
TEST(Win32FormatMessage, SystemTextsAreAllocatedEndInCrLfAndAreFreed) {
    for (DWORD code : {0ul, 2ul, 3ul, 5ul, 87ul, 1722ul, 1801ul}) {
        char *text = nullptr;
        DWORD n = FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM,
                                 nullptr, code, MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT),
                                 (LPSTR)&text, 0, nullptr);
        ASSERT_NE(text, nullptr) << "code " << code;
        std::string got = text;
        EXPECT_EQ(n, got.size()) << "code " << code << ": count of " << got;
        EXPECT_GT(got.size(), 2u) << "code " << code;
        EXPECT_EQ(got.substr(got.size() - 2), "\r\n") << "code " << code << ": " << got;
        EXPECT_EQ(LocalFree(text), nullptr) << "code " << code;
    }
}

TEST(Win32FormatMessage, CallerBufferAndFailures) {
    char buffer[128];
    DWORD n = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM, nullptr, 1801, 0, buffer, sizeof buffer,
                             nullptr);
    ASSERT_GT(n, 2u);
    EXPECT_EQ(n, strlen(buffer));
    std::string full = buffer;

    n = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_MAX_WIDTH_MASK, nullptr, 1801, 0,
                       buffer, sizeof buffer, nullptr);
    EXPECT_EQ(std::string(buffer, n), full.substr(0, full.size() - 2) + " ")
        << "no line break asked for: the break becomes one blank";

    SetLastError(0);
    n = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM, nullptr, 1801, 0, buffer, 5, nullptr);
    EXPECT_EQ(n, 0u) << "text does not fit";
    EXPECT_EQ(GetLastError(), (DWORD)ERROR_INSUFFICIENT_BUFFER);

    char *text = nullptr;
    SetLastError(0);
    n = FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM, nullptr,
                       0x2000ffff, 0, (LPSTR)&text, 0, nullptr);
    EXPECT_EQ(n, 0u) << "a code without a text";
    EXPECT_EQ(GetLastError(), (DWORD)ERROR_MR_MID_NOT_FOUND);
    EXPECT_EQ(LocalFree(nullptr), nullptr);
}

TEST(Win32GlobalMemory, MovableBlockIsZeroedAndCountsLocks) {
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, 1000);
    ASSERT_NE(block, nullptr);
    EXPECT_GE(GlobalSize(block), 1000u);
    unsigned char *first = static_cast<unsigned char *>(GlobalLock(block));
    ASSERT_NE(first, nullptr);
    int nonzero = 0;
    for (int i = 0; i < 1000; i++) nonzero += first[i] != 0;
    EXPECT_EQ(nonzero, 0) << "GMEM_ZEROINIT";
    first[999] = 42;
    unsigned char *second = static_cast<unsigned char *>(GlobalLock(block));
    EXPECT_EQ(second, first) << "a locked block does not move";
    EXPECT_NE(GlobalUnlock(block), 0) << "one lock left";
    SetLastError(0xdead);
    EXPECT_EQ(GlobalUnlock(block), 0) << "last lock released";
    EXPECT_EQ(GetLastError(), (DWORD)ERROR_SUCCESS);
    unsigned char *again = static_cast<unsigned char *>(GlobalLock(block));
    ASSERT_NE(again, nullptr);
    EXPECT_EQ(again[999], 42) << "contents survive unlocking";
    GlobalUnlock(block);
    EXPECT_EQ(GlobalFree(block), nullptr);
}

TEST(Win32GlobalMemory, UnlockingAnUnlockedBlockFails) {
    HGLOBAL block = GlobalAlloc(GHND, 16);
    ASSERT_NE(block, nullptr);
    SetLastError(0);
    EXPECT_EQ(GlobalUnlock(block), 0);
    EXPECT_EQ(GetLastError(), (DWORD)ERROR_NOT_LOCKED);
    EXPECT_EQ(GlobalFree(block), nullptr);
}

TEST(Win32GlobalMemory, FixedBlockIsItsOwnPointer) {
    HGLOBAL block = GlobalAlloc(GMEM_FIXED | GMEM_ZEROINIT, 32);
    ASSERT_NE(block, nullptr);
    EXPECT_EQ(GlobalLock(block), (LPVOID)block);
    EXPECT_EQ(static_cast<unsigned char *>(block)[31], 0);
    EXPECT_EQ(GlobalFree(block), nullptr);
}

TEST(Win32Version, AcceptsOnlyTheStructureSizes) {
    struct Row {
        DWORD size;
        BOOL ok;
        const char *note;
    } rows[] = {
        {148, TRUE, "OSVERSIONINFOA"}, {156, TRUE, "OSVERSIONINFOEXA"}, {0, FALSE, "size not set"},
        {74, FALSE, "too small"},      {296, FALSE, "too large"},
    };
    for (const Row &row : rows) {
        unsigned char storage[400] = {};
        OSVERSIONINFOA *info = reinterpret_cast<OSVERSIONINFOA *>(storage);
        info->dwOSVersionInfoSize = row.size;
        SetLastError(0);
        BOOL ok = GetVersionExA(info);
        EXPECT_EQ(ok != 0, row.ok != 0) << row.note;
        if (!row.ok) {
            EXPECT_EQ(GetLastError(), (DWORD)ERROR_INSUFFICIENT_BUFFER) << row.note;
        } else {
            EXPECT_EQ(info->dwPlatformId, (DWORD)VER_PLATFORM_WIN32_NT) << row.note;
        }
    }
}

TEST(Win32Profile, DefaultsAreCutToSizeMinusOne) {
    const char *section = "PellmarkContractNoSuchSection";
    struct Row {
        const char *deflt;
        DWORD size;
        const char *expect;
        DWORD count;
        const char *note;
    } rows[] = {
        {"fallback", 100, "fallback", 8, "default copied"},
        {"fallback", 5, "fall", 4, "cut to size - 1, count of bytes stored"},
        {"fallback", 1, "", 0, "room for the 0 only"},
        {",,,", 100, ",,,", 3, "the default printer value the program asks with"},
        {"", 100, "", 0, "empty default"},
        {nullptr, 100, "", 0, "no default"},
        {"pad   ", 100, "pad", 3, "trailing blanks of the default are dropped"},
    };
    for (const Row &row : rows) {
        char out[128];
        memset(out, 'x', sizeof out);
        DWORD count = GetProfileStringA(section, "key", row.deflt, out, row.size);
        EXPECT_EQ(count, row.count) << row.note;
        EXPECT_STREQ(out, row.expect) << row.note;
    }
}
