// The Windows profile over an INI file: where it is found, how its lines are read, and what
// GetProfileStringA makes of it.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "core/trace.h"
#include "kernel/profile.h"
#include "platform/windows_services.h"
#include "support/test_support.h"

namespace {

const char *const SAMPLE =
    "; the comment line names no key\n"
    "[Reports]\n"
    "  Title =  Monthly Sales  \r\n"
    "quoted=\"  kept blanks  \"\n"
    "single='x'\n"
    "empty=\n"
    "title=second entry loses\n"
    "no equals sign here\n"
    ";hidden=1\n"
    "[ Other ]\n"
    "title=other section\n"
    "[reports]\n"
    "late=from a repeated section\n";

// Points the profile at a file holding `text` and makes the next call read it.
std::string use_profile(const std::string &name, const char *text) {
    std::string dir = test_dir(name);
    std::string path = dir + "/win.ini";
    if (text != nullptr) write_file(path, text);
    set_env("PELLMARK_PROFILE", path.c_str());
    profile_reload_for_tests();
    return dir;
}

struct ProfileTest : ::testing::Test {
    void TearDown() override {
        set_env("PELLMARK_PROFILE", nullptr);
        profile_reload_for_tests();
    }
};

}  // namespace

TEST_F(ProfileTest, LooksUpValuesIgnoringCaseAndTrimmingBlanks) {
    use_profile("profile_lookup", SAMPLE);
    struct Row {
        const char *section, *key, *expect;
        const char *note;
    } rows[] = {
        {"Reports", "Title", "Monthly Sales", "blanks around key and value, CR dropped"},
        {"REPORTS", "TITLE", "Monthly Sales", "case of section and key ignored"},
        {"reports", "quoted", "  kept blanks  ", "quotes keep inner blanks and are dropped"},
        {"reports", "single", "x", "single quotes too"},
        {"reports", "empty", "", "an empty value is a value, not the default"},
        {"other", "title", "other section", "blanks inside the brackets trimmed"},
        {"reports", "late", "from a repeated section", "a section may appear twice"},
        {"reports", "no equals sign here", "DEFAULT", "a line without '=' is no key"},
        {"reports", ";hidden", "DEFAULT", "comment lines are skipped"},
        {"reports", "absent", "DEFAULT", "missing key"},
        {"nowhere", "title", "DEFAULT", "missing section"},
    };
    for (const Row &row : rows) {
        char out[64];
        DWORD count = GetProfileStringA(row.section, row.key, "DEFAULT", out, sizeof out);
        EXPECT_STREQ(out, row.expect) << row.note;
        EXPECT_EQ(count, strlen(row.expect)) << row.note;
    }
}

TEST_F(ProfileTest, ValuesAreCutToSizeMinusOne) {
    use_profile("profile_cut", SAMPLE);
    struct Row {
        DWORD size;
        const char *expect;
    } rows[] = {
        {100, "Monthly Sales"}, {14, "Monthly Sales"}, {13, "Monthly Sale"}, {2, "M"}, {1, ""}};
    for (const Row &row : rows) {
        char out[100];
        memset(out, 'x', sizeof out);
        DWORD count = GetProfileStringA("reports", "title", "", out, row.size);
        EXPECT_STREQ(out, row.expect) << "size " << row.size;
        EXPECT_EQ(count, strlen(row.expect)) << "size " << row.size;
    }
}

TEST_F(ProfileTest, NullKeyListsTheSectionsKeys) {
    use_profile("profile_keys", SAMPLE);
    char out[200];
    DWORD count = GetProfileStringA("reports", nullptr, "", out, sizeof out);
    const char expect[] = "Title\0quoted\0single\0empty\0late\0";  // plus the final 0
    ASSERT_EQ(count, sizeof expect - 1);
    EXPECT_EQ(memcmp(out, expect, sizeof expect), 0) << "keys in file order, repeats once";

    memset(out, 'x', sizeof out);
    count = GetProfileStringA("reports", nullptr, "", out, 10);
    EXPECT_EQ(count, 8u) << "a cut list gives size - 2";
    EXPECT_EQ(memcmp(out, "Title\0qu\0\0", 10), 0) << "and ends in two 0 bytes";

    count = GetProfileStringA("nowhere", nullptr, "", out, sizeof out);
    EXPECT_EQ(count, 0u);
    EXPECT_EQ(out[0], '\0');
}

TEST_F(ProfileTest, MissingFileGivesDefaults) {
    use_profile("profile_missing", nullptr);
    char out[16];
    EXPECT_EQ(GetProfileStringA("reports", "title", "dflt", out, sizeof out), 4u);
    EXPECT_STREQ(out, "dflt");
}

TEST_F(ProfileTest, FileIsReadOncePerProcess) {
    std::string dir = use_profile("profile_once", "[a]\nk=first\n");
    char out[16];
    GetProfileStringA("a", "k", "", out, sizeof out);
    write_file(dir + "/win.ini", "[a]\nk=second\n");
    GetProfileStringA("a", "k", "", out, sizeof out);
    EXPECT_STREQ(out, "first");
    profile_reload_for_tests();
    GetProfileStringA("a", "k", "", out, sizeof out);
    EXPECT_STREQ(out, "second");
}

TEST_F(ProfileTest, PerUserFileWhenNoneIsNamed) {
    std::string dir = test_dir("profile_xdg");
    std::string folder = dir + "/config/pellmark";
    std::string home = dir + "/home/.config/pellmark";
    test_dir("profile_xdg/config/pellmark");
    test_dir("profile_xdg/home/.config/pellmark");
    write_file(folder + "/win.ini", "[a]\nk=from XDG_CONFIG_HOME\n");
    write_file(home + "/win.ini", "[a]\nk=from HOME\n");
    std::string old_home = getenv("HOME") ? getenv("HOME") : "";
    std::string old_xdg = getenv("XDG_CONFIG_HOME") ? getenv("XDG_CONFIG_HOME") : "";
    struct Row {
        std::string xdg, home, expect;
        const char *note;
    } rows[] = {
        {dir + "/config", dir + "/home", "from XDG_CONFIG_HOME", "XDG_CONFIG_HOME first"},
        {"", dir + "/home", "from HOME", "then ~/.config"},
    };
    for (const Row &row : rows) {
        set_env("PELLMARK_PROFILE", nullptr);
        set_env("XDG_CONFIG_HOME", row.xdg.empty() ? nullptr : row.xdg.c_str());
        set_env("HOME", row.home.c_str());
        profile_reload_for_tests();
        char out[32];
        GetProfileStringA("a", "k", "none", out, sizeof out);
        EXPECT_STREQ(out, row.expect.c_str()) << row.note;
    }
    set_env("HOME", old_home.empty() ? nullptr : old_home.c_str());
    set_env("XDG_CONFIG_HOME", old_xdg.empty() ? nullptr : old_xdg.c_str());
}

TEST_F(ProfileTest, TraceShowsTheArgumentsAndTheValue) {
    std::string dir = use_profile("profile_trace", "[windows]\ndevice=PDF,pdf,out\n");
    std::string trace = dir + "/trace.jsonl";
    set_env("PELLMARK_TRACE", trace.c_str());
    trace_reset_for_tests();
    char out[100];
    GetProfileStringA("windows", "device", ",,,", out, sizeof out);
    trace_reset_for_tests();
    set_env("PELLMARK_TRACE", nullptr);
    EXPECT_EQ(read_file(trace),
              "{\"fn\":\"GetProfileStringA\",\"section\":\"windows\",\"key\":\"device\","
              "\"default\":\",,,\",\"size\":100,\"value\":\"PDF,pdf,out\",\"ret\":11}\n");
}
