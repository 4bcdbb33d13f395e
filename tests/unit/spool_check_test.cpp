// The spooler result check: which results are failures, and the message the user sees.
#include <gtest/gtest.h>

#include <string>

#include "core/trace.h"
#include "diag/spool_check.h"
#include "support/test_support.h"

TEST(SpoolCheck, MessageTextForEveryCode) {
    struct Row {
        const char *name;
        int result;
        const char *expected;
    } rows[] = {
        {"StartDoc", -1, "StartDoc returned -1 (Unknown general error)."},
        {"StartPage", -2, "StartPage returned -2 (Abort by application)."},
        {"EndPage", -3, "EndPage returned -3 (User Abort by Print Manager)."},
        {"EndDoc", -4, "EndDoc returned -4 (Out of disk)."},
        {"EndDoc", -5, "EndDoc returned -5 (Out of memory)."},
        {"EndDoc", -6, "EndDoc returned -6 (Unknown spooler error)."},
        {"EndPage", -2147483647 - 1, "EndPage returned -2147483648 (Unknown spooler error)."},
        {"AVeryLongPrintingCallName_ThatWouldNotFit", -3,
         "AVeryLongPrintingCal returned -3 (User Abort by Print Manager)."},
    };
    for (const Row &row : rows) {
        char text[SPOOL_MESSAGE_SIZE + 8];
        memset(text, '#', sizeof text);
        int length = FormatSpoolMessage(text, row.name, row.result);
        EXPECT_STREQ(text, row.expected) << row.name << " " << row.result;
        EXPECT_EQ(length, (int)strlen(row.expected));
        EXPECT_LT(length, SPOOL_MESSAGE_SIZE);
        EXPECT_EQ(text[SPOOL_MESSAGE_SIZE], '#') << "nothing written past the buffer";
    }
}

// Only negative results show a box, as an error box with the default title and OK.
TEST(SpoolCheck, NegativeResultsShowOneErrorBox) {
    std::string path = test_dir("spool_check") + "/trace.jsonl";
    set_env("PELLMARK_TRACE", path.c_str());
    trace_reset_for_tests();
    EXPECT_FALSE(CheckSpoolResult("StartDoc", 12)) << "a positive job number";
    EXPECT_FALSE(CheckSpoolResult("EndDoc", 0)) << "0 is not negative";
    EXPECT_TRUE(CheckSpoolResult("EndPage", -3));
    trace_reset_for_tests();
    set_env("PELLMARK_TRACE", nullptr);
    std::vector<std::string> lines;
    for (const std::string &line : read_lines(path))
        if (line.find("\"fn\":\"MessageBoxA\"") != std::string::npos) lines.push_back(line);
    ASSERT_EQ(lines.size(), 1u) << "one message box only, got:\n" << read_file(path);
    EXPECT_NE(lines[0].find("\"text\":\"EndPage returned -3 (User Abort by Print Manager).\""),
              std::string::npos)
        << lines[0];
    EXPECT_NE(lines[0].find("\"caption\":null"), std::string::npos) << lines[0];
    EXPECT_NE(lines[0].find("\"type\":16"), std::string::npos)
        << "MB_OK|MB_ICONERROR: " << lines[0];
}
