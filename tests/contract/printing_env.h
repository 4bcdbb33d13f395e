// Shared set-up of the printing contract tests: a profile with file printers of our own and
// no CUPS scheduler, so the results do not depend on the machine's printers.
#pragma once

#include <cstring>
#include <string>

#include "kernel/profile.h"
#include "platform/windows_services.h"
#include "support/test_support.h"

// Points the spooler at a profile holding `devices` lines (each "Name=value") and at a CUPS
// server that does not exist. Returns the test's folder.
inline std::string printing_env(const std::string &name, const std::string &devices = "") {
    std::string dir = test_dir(name);
    write_file(dir + "/win.ini", "[devices]\n" + devices);
    set_env("PELLMARK_PROFILE", (dir + "/win.ini").c_str());
    set_env("CUPS_SERVER", (dir + "/no-scheduler.sock").c_str());
    profile_reload_for_tests();
    return dir;
}

// A DEVMODE naming only the given fields.
inline DEVMODEA devmode_with(DWORD fields, short paper, short width, short length, short orient) {
    DEVMODEA dm;
    memset(&dm, 0, sizeof dm);
    dm.dmSpecVersion = DM_SPECVERSION;
    dm.dmSize = sizeof dm;
    dm.dmFields = fields;
    dm.dmPaperSize = paper;
    dm.dmPaperWidth = width;
    dm.dmPaperLength = length;
    dm.dmOrientation = orient;
    return dm;
}
