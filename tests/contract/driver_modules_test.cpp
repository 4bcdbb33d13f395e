// The Win32s road: the spooler's "windows" and "devices" profile values and the printer
// drivers as modules with an ExtDeviceMode entry.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "contract/printing_env.h"

namespace {

typedef UINT(CALLBACK *ExtDeviceModeFn)(HWND, HMODULE, LPDEVMODEA, LPSTR, LPSTR, LPDEVMODEA, LPSTR,
                                        UINT);

std::string profile(const char *section, const char *key) {
    char out[200];
    GetProfileStringA(section, key, "<none>", out, sizeof out);
    return out;
}

}  // namespace

TEST(SpoolerProfile, DefaultPrinterAndDevicesWithoutAScheduler) {
    printing_env("spooler_profile", "Lp=raw,/tmp/lp.prn,dpi=300\n");
    struct Row {
        const char *section, *key, *expect, *note;
    } rows[] = {
        {"windows", "device", "PDF,pdf,FILE:", "no profile value, no CUPS: the built-in PDF"},
        {"devices", "PDF", "pdf,FILE:", "built-in"},
        {"devices", "postscript", "ps,FILE:", "built-in, case ignored"},
        {"devices", "Lp", "raw,/tmp/lp.prn,dpi=300", "the profile's own entry"},
        {"devices", "Nobody", "<none>", "unknown printer"},
    };
    for (const Row &row : rows) EXPECT_EQ(profile(row.section, row.key), row.expect) << row.note;
    std::string dir = printing_env("spooler_profile_own", "Lp=raw,/tmp/lp.prn\n");
    write_file(dir + "/win.ini", "[windows]\ndevice=Lp,raw,/tmp/lp.prn\n[devices]\nLp=raw,x\n");
    profile_reload_for_tests();
    EXPECT_EQ(profile("windows", "device"), "Lp,raw,/tmp/lp.prn") << "the profile's own value";
}

TEST(DriverModules, ExtDeviceModeOfEachDriver) {
    printing_env("driver_modules", "Lp300=raw,out.prn,dpi=300\n");
    struct Row {
        const char *file, *device, *port;
        short quality;
    } rows[] = {
        {"pdf.drv", "PDF", "FILE:", 600},
        {"PS.DRV", "PostScript", "FILE:", 600},
        {"raw.drv", "Lp300", "out.prn", 300},
        {"raw.drv", "Elsewhere", "/dev/null", 600},
    };
    for (const Row &row : rows) {
        HMODULE m = LoadLibraryA(row.file);
        ASSERT_NE(m, nullptr) << row.file;
        ExtDeviceModeFn fn = reinterpret_cast<ExtDeviceModeFn>(
            reinterpret_cast<void (*)(void)>(GetProcAddress(m, "ExtDeviceMode")));
        ASSERT_NE(fn, nullptr) << row.file;
        UINT size =
            fn(nullptr, m, nullptr, (LPSTR)row.device, (LPSTR)row.port, nullptr, nullptr, 0);
        EXPECT_EQ(size, sizeof(DEVMODEA)) << row.file;
        DEVMODEA dm;
        memset(&dm, 0, sizeof dm);
        EXPECT_EQ(fn(nullptr, m, &dm, (LPSTR)row.device, (LPSTR)row.port, nullptr, nullptr,
                     DM_OUT_BUFFER),
                  (UINT)IDOK)
            << row.file;
        EXPECT_STREQ((const char *)dm.dmDeviceName, row.device) << row.file;
        EXPECT_EQ(dm.dmSpecVersion, DM_SPECVERSION) << row.file;
        EXPECT_EQ(dm.dmPrintQuality, row.quality) << row.file;
        EXPECT_EQ(dm.dmCopies, 1) << row.file;
        EXPECT_EQ(GetProcAddress(m, "DeviceMode"), nullptr) << row.file;
        EXPECT_EQ(GetLastError(), (DWORD)ERROR_PROC_NOT_FOUND) << row.file;
        EXPECT_TRUE(FreeLibrary(m)) << row.file;
    }
}

TEST(DriverModules, OtherFilesDoNotLoad) {
    const char *files[] = {"nosuch.drv", "pdf.dll", "pdf", ".drv", "winspool.drv"};
    for (const char *file : files) {
        SetLastError(0);
        EXPECT_EQ(LoadLibraryA(file), nullptr) << file;
        EXPECT_EQ(GetLastError(), (DWORD)ERROR_MOD_NOT_FOUND) << file;
    }
    EXPECT_EQ(LoadLibraryA(nullptr), nullptr);
    EXPECT_FALSE(FreeLibrary(nullptr));
}
