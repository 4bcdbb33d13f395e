// Inside the kernel services of the POSIX layer: the read buffer behind _lread, the errno
// translation, the platform knob of GetVersionExA, DebugBreak without a debugger, and the
// trace lines of the traced calls.
#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <string>

#include "core/trace.h"
#include "kernel/errors.h"
#include "kernel/files.h"
#include "kernel/messages.h"
#include "platform/windows_services.h"
#include "support/test_support.h"

TEST(KernelFiles, OneByteReadsCostOneSystemCallPerBuffer) {
    std::string dir = test_dir("kernel_refills");
    size_t size = 3 * FILE_READ_BUFFER_SIZE + 5;
    write_file(dir + "/r.txt", std::string(size, 'a'));
    HFILE file = _lopen((dir + "/r.txt").c_str(), OF_READ);
    ASSERT_NE(file, HFILE_ERROR);
    long before = files_refill_count();
    char byte;
    size_t bytes = 0;
    while (_lread(file, &byte, 1) == 1) bytes++;
    long refills = files_refill_count() - before;
    _lclose(file);
    EXPECT_EQ(bytes, size);
    // Four buffers of data and one read that finds the end.
    EXPECT_EQ(refills, 5) << "expected one read(2) per buffer, got " << refills << " for " << size
                          << " one-byte reads";
}

TEST(KernelErrors, ErrnoValuesMapToWindowsCodesThatHaveTexts) {
    struct Row {
        int e;
        DWORD code;
    } rows[] = {
        {ENOENT, 2},  {ENOTDIR, 3},  {EACCES, 5},   {EPERM, 5},  {EMFILE, 4},
        {ENOMEM, 8},  {ENOSPC, 112}, {EDQUOT, 112}, {EISDIR, 5}, {ENAMETOOLONG, 206},
        {EPIPE, 109}, {EBADF, 6},    {EINVAL, 87},  {EIO, 1117}, {EXDEV, 31},
    };
    for (const Row &row : rows) {
        DWORD code = win32_error_from_errno(row.e);
        EXPECT_EQ(code, row.code) << "errno " << row.e;
        EXPECT_NE(system_message_text(code), nullptr) << "code " << code << " has no text";
    }
    // Whatever errno a call leaves, the user gets a text for it.
    for (int e = 0; e < 140; e++) {
        DWORD code = win32_error_from_errno(e);
        EXPECT_NE(system_message_text(code), nullptr) << "errno " << e << " -> code " << code;
    }
}

TEST(KernelMessages, WindowsWordingOfTheSystemTexts) {
    struct Row {
        DWORD code;
        const char *text;
    } rows[] = {
        {0, "The operation completed successfully.\r\n"},
        {2, "The system cannot find the file specified.\r\n"},
        {3, "The system cannot find the path specified.\r\n"},
        {5, "Access is denied.\r\n"},
        {87, "The parameter is incorrect.\r\n"},
        {1062, "The service has not been started.\r\n"},
        {1722, "The RPC server is unavailable.\r\n"},
        {1801, "The printer name is invalid.\r\n"},
        {3012, "No printers were found.\r\n"},
    };
    for (const Row &row : rows) {
        char *text = nullptr;
        DWORD n = FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM,
                                 nullptr, row.code, MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT),
                                 (LPSTR)&text, 0, nullptr);
        ASSERT_NE(text, nullptr) << "code " << row.code;
        EXPECT_STREQ(text, row.text) << "code " << row.code;
        EXPECT_EQ(n, strlen(row.text)) << "code " << row.code;
        LocalFree(text);
    }
    int local = 0;
    SetLastError(0);
    EXPECT_EQ(LocalFree(&local), (HLOCAL)&local) << "a block FormatMessageA did not give";
    EXPECT_EQ(GetLastError(), (DWORD)ERROR_INVALID_HANDLE);
}

TEST(KernelVersion, PlatformKnobChoosesTheReportedPlatform) {
    struct Row {
        const char *knob;
        DWORD platform;
        DWORD major;
        const char *note;
    } rows[] = {
        {nullptr, VER_PLATFORM_WIN32_NT, 5, "no knob: Windows NT"},
        {"0", VER_PLATFORM_WIN32s, 3, "Win32s road"},
        {"1", VER_PLATFORM_WIN32_WINDOWS, 4, "Windows 95"},
        {"2", VER_PLATFORM_WIN32_NT, 5, "NT asked for"},
        {"7", VER_PLATFORM_WIN32_NT, 5, "out of range: ignored"},
        {"zero", VER_PLATFORM_WIN32_NT, 5, "not a number: ignored"},
    };
    for (const Row &row : rows) {
        set_env("PELLMARK_PLATFORM_ID", row.knob);
        OSVERSIONINFOA info = {};
        info.dwOSVersionInfoSize = sizeof info;
        EXPECT_TRUE(GetVersionExA(&info)) << row.note;
        EXPECT_EQ(info.dwPlatformId, row.platform) << row.note;
        EXPECT_EQ(info.dwMajorVersion, row.major) << row.note;
    }
    set_env("PELLMARK_PLATFORM_ID", nullptr);
}

TEST(KernelDebugger, BreakWithoutDebuggerGoesOn) {
    // Under a debugger this test stops, as the call promises; the run goes on afterwards.
    bool attached = IsDebuggerPresent() != 0;
    DebugBreak();
    SUCCEED() << (attached ? "debugger attached" : "no debugger: the process survived");
}

TEST(KernelTrace, TracedCallsWriteTheirKeys) {
    std::string dir = test_dir("kernel_trace");
    write_file(dir + "/r.txt", "x");
    std::string trace = dir + "/trace.jsonl";
    set_env("PELLMARK_TRACE", trace.c_str());
    set_env("PELLMARK_PLATFORM_ID", "0");
    trace_reset_for_tests();
    OSVERSIONINFOA info = {};
    info.dwOSVersionInfoSize = 148;
    GetVersionExA(&info);
    HFILE file = _lopen((dir + "/r.txt").c_str(), OF_READ);
    char byte;
    _lread(file, &byte, 1);
    _lclose(file);
    _lopen((dir + "/none").c_str(), OF_READ);
    trace_reset_for_tests();
    set_env("PELLMARK_TRACE", nullptr);
    set_env("PELLMARK_PLATFORM_ID", nullptr);
    std::string f = std::to_string(file);
    EXPECT_EQ(read_file(trace),
              "{\"fn\":\"GetVersionExA\",\"platformId\":0,\"ret\":1}\n"
              "{\"fn\":\"_lopen\",\"path\":\"" +
                  dir + "/r.txt\",\"mode\":0,\"ret\":" + f +
                  "}\n"
                  "{\"fn\":\"_lclose\",\"file\":" +
                  f +
                  ",\"ret\":0}\n"
                  "{\"fn\":\"_lopen\",\"path\":\"" +
                  dir + "/none\",\"mode\":0,\"ret\":-1}\n")
        << "_lread is not traced";
}
