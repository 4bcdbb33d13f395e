// The debug log's states: the lazy decision from PELLMARK_DEBUG and the log option.
#include <gtest/gtest.h>
#include <unistd.h>

#include <string>

#include "diag/debug_log.h"
#include "support/test_support.h"

namespace {

class DebugLog : public ::testing::Test {
   protected:
    void SetUp() override {
        dir = test_dir(std::string("debug_log_") +
                       ::testing::UnitTest::GetInstance()->current_test_info()->name());
        log_state = LOG_UNDECIDED;
        log_file = nullptr;
        set_env("PELLMARK_DEBUG", nullptr);
    }
    void TearDown() override {
        set_env("PELLMARK_DEBUG", nullptr);
        log_state = LOG_UNDECIDED;
        log_file = nullptr;  // streams of the tests are left to the process end, as the log's
    }
    std::string Path(const char *name) { return dir + "/" + name; }
    std::string dir;
};

}  // namespace

TEST_F(DebugLog, VariableDecidesAtTheFirstMessage) {
    set_env("PELLMARK_DEBUG", Path("env.log").c_str());
    EXPECT_EQ(log_state, LOG_UNDECIDED);
    EXPECT_NE(access(Path("env.log").c_str(), F_OK), 0) << "nothing opened before a message";
    DebugPrintf("lopen(%s) failed because of error %d\n", "a.txt", 2);
    EXPECT_EQ(log_state, LOG_ON);
    DebugPrintf("%x|%s", 255, "no newline added");
    EXPECT_EQ(read_file(Path("env.log")),
              "lopen(a.txt) failed because of error 2\nff|no newline added")
        << "flushed after each message, no prefix";
}

TEST_F(DebugLog, NoLogWhenTheVariableIsUnsetEmptyOrUnusable) {
    struct Row {
        const char *note;
        const char *value;
    } rows[] = {{"unset", nullptr}, {"empty", ""}, {"missing folder", "/nonexistent/dir/x.log"}};
    for (const Row &row : rows) {
        log_state = LOG_UNDECIDED;
        set_env("PELLMARK_DEBUG", row.value);
        DebugPrintf("x\n");
        EXPECT_EQ(log_state, LOG_OFF) << row.note;
    }
    // The decision is final: a variable set afterwards is never read.
    set_env("PELLMARK_DEBUG", Path("late.log").c_str());
    DebugPrintf("x\n");
    EXPECT_EQ(log_state, LOG_OFF);
    EXPECT_NE(access(Path("late.log").c_str(), F_OK), 0) << "the environment is read once";
}

TEST_F(DebugLog, LogOptionReplacesTheLogInEveryState) {
    set_env("PELLMARK_DEBUG", Path("env.log").c_str());
    DebugPrintf("first\n");
    OpenDebugLog(Path("option.log").c_str());
    EXPECT_EQ(log_state, LOG_ON);
    DebugPrintf("second\n");
    EXPECT_EQ(read_file(Path("env.log")), "first\n") << "the old log receives nothing more";
    EXPECT_EQ(read_file(Path("option.log")), "second\n");

    log_state = LOG_OFF;
    OpenDebugLog(Path("after_off.log").c_str());
    EXPECT_EQ(log_state, LOG_ON) << "a log option revives a log that was off";
}

TEST_F(DebugLog, FailedLogOptionChangesNothing) {
    const std::string bad = "/nonexistent/dir/x.log";
    OpenDebugLog(bad.c_str());
    EXPECT_EQ(log_state, LOG_UNDECIDED) << "undecided stays undecided";
    set_env("PELLMARK_DEBUG", Path("env.log").c_str());
    DebugPrintf("from env\n");
    EXPECT_EQ(read_file(Path("env.log")), "from env\n") << "the variable is still consulted";

    OpenDebugLog(bad.c_str());
    EXPECT_EQ(log_state, LOG_ON);
    DebugPrintf("still here\n");
    EXPECT_EQ(read_file(Path("env.log")), "from env\nstill here\n") << "an active log stays in use";

    log_state = LOG_OFF;
    OpenDebugLog(bad.c_str());
    EXPECT_EQ(log_state, LOG_OFF) << "off stays off";
}
