// The old-style file calls and the last error, as Win32 defines them: what _lopen, _lread
// and _lclose return for given files, and which error GetLastError reports after a failure.
#include <gtest/gtest.h>

#include <string>

#include "platform/windows_services.h"
#include "support/test_support.h"

namespace {

// Reads the whole file one byte per call, the way the report line reader does.
std::string read_bytewise(HFILE file) {
    std::string got;
    char byte;
    while (_lread(file, &byte, 1) == 1) got.push_back(byte);
    return got;
}

}  // namespace

TEST(Win32Files, OpenFailuresGiveHfileErrorAndTheWindowsCode) {
    std::string dir = test_dir("win32_files_open");
    write_file(dir + "/plain.txt", "x");
    struct Row {
        std::string path;
        DWORD error;
        const char *note;
    } rows[] = {
        {dir + "/missing.txt", ERROR_FILE_NOT_FOUND, "missing file"},
        {dir + "/no-such-folder/r.txt", ERROR_PATH_NOT_FOUND, "missing folder"},
        {dir, ERROR_ACCESS_DENIED, "a directory is not a file"},
    };
    for (const Row &row : rows) {
        SetLastError(0);
        HFILE file = _lopen(row.path.c_str(), OF_READ);
        EXPECT_EQ(file, HFILE_ERROR) << row.note;
        EXPECT_EQ(GetLastError(), row.error) << row.note << ": expected error " << row.error;
    }
}

TEST(Win32Files, OneByteReadsDeliverEveryByteThenZero) {
    std::string dir = test_dir("win32_files_read");
    struct Row {
        std::string bytes;
        const char *note;
    } rows[] = {
        {"", "empty file"},
        {"abc\r\ndef\f\x08_\x00\xff", "control bytes, NUL and 0xFF come back unchanged"},
        {std::string(200000, 'q') + "end", "longer than any internal buffer"},
    };
    for (const Row &row : rows) {
        std::string path = dir + "/r.txt";
        write_file(path, row.bytes);
        HFILE file = _lopen(path.c_str(), OF_READ);
        ASSERT_NE(file, HFILE_ERROR) << row.note;
        std::string got = read_bytewise(file);
        EXPECT_EQ(got.size(), row.bytes.size()) << row.note;
        EXPECT_TRUE(got == row.bytes) << row.note << ": bytes differ";
        char byte;
        EXPECT_EQ(_lread(file, &byte, 1), 0u) << row.note << ": after the end";
        EXPECT_EQ(_lclose(file), 0) << row.note;
    }
}

TEST(Win32Files, LargeReadsMixWithSmallOnes) {
    std::string dir = test_dir("win32_files_mixed");
    std::string bytes;
    for (int i = 0; i < 100000; i++) bytes.push_back((char)(i * 7));
    write_file(dir + "/r.bin", bytes);
    HFILE file = _lopen((dir + "/r.bin").c_str(), OF_READ);
    ASSERT_NE(file, HFILE_ERROR);
    std::string got(bytes.size() + 10, '\0');
    UINT first = _lread(file, &got[0], 1);
    UINT second = _lread(file, &got[1], 70000);
    UINT rest = _lread(file, &got[70001], 40000);
    EXPECT_EQ(first, 1u);
    EXPECT_EQ(second, 70000u);
    EXPECT_EQ(rest, bytes.size() - 70001) << "a read is cut only at the end of the file";
    EXPECT_TRUE(got.compare(0, bytes.size(), bytes) == 0) << "bytes differ";
    EXPECT_EQ(_lclose(file), 0);
}

TEST(Win32Files, ClosedHandleFails) {
    std::string dir = test_dir("win32_files_close");
    write_file(dir + "/r.txt", "abc");
    write_file(dir + "/s.txt", "xyz");
    HFILE file = _lopen((dir + "/r.txt").c_str(), OF_READ);
    ASSERT_NE(file, HFILE_ERROR);
    char byte;
    EXPECT_EQ(_lread(file, &byte, 1), 1u) << "bytes still buffered when the file closes";
    EXPECT_EQ(_lclose(file), 0);
    SetLastError(0);
    EXPECT_EQ(_lread(file, &byte, 1), (UINT)HFILE_ERROR) << "read after close";
    EXPECT_EQ(GetLastError(), (DWORD)ERROR_INVALID_HANDLE);
    EXPECT_EQ(_lclose(file), HFILE_ERROR) << "second close";
    // A file opened later under the same handle number reads its own bytes.
    HFILE other = _lopen((dir + "/s.txt").c_str(), OF_READ);
    ASSERT_NE(other, HFILE_ERROR);
    EXPECT_EQ(_lread(other, &byte, 1), 1u);
    EXPECT_EQ(byte, 'x') << "handle " << other << " after closing handle " << file;
    _lclose(other);
}

TEST(Win32LastError, SetThenGetRoundTrips) {
    for (DWORD code : {0ul, 2ul, 1801ul, 0xdeadbeeful}) {
        SetLastError(code);
        EXPECT_EQ(GetLastError(), code);
    }
}
