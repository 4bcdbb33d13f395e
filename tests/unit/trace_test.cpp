// The platform call trace and the fault knob.
#include <gtest/gtest.h>

#include "core/trace.h"
#include "support/test_support.h"

namespace {

std::string traced(const char *env_faults, void (*body)()) {
    std::string dir = test_dir("trace");
    std::string path = dir + "/trace.jsonl";
    set_env("PELLMARK_TRACE", path.c_str());
    set_env("PELLMARK_FAULTS", env_faults);
    trace_reset_for_tests();
    body();
    trace_reset_for_tests();
    set_env("PELLMARK_TRACE", nullptr);
    set_env("PELLMARK_FAULTS", nullptr);
    return read_file(path);
}

}  // namespace

TEST(Trace, WritesOneJsonObjectPerCallWithBytesAsCodePoints) {
    std::string got = traced(nullptr, [] {
        TraceLine t;
        trace_begin(&t, "TextOutA");
        trace_int(&t, "x", 10);
        trace_str(&t, "text", "caf\xe9\b_\"");
        trace_null(&t, "none");
        trace_end(&t, 1);
        trace_begin(&t, "EndDoc");
        trace_end(&t, 0);
    });
    EXPECT_EQ(
        got,
        "{\"fn\":\"TextOutA\",\"x\":10,\"text\":\"caf\\u00e9\\b_\\\"\",\"none\":null,\"ret\":1}\n"
        "{\"fn\":\"EndDoc\",\"ret\":0}\n");
}

TEST(Faults, NthCallAndEveryCallRules) {
    struct Row {
        const char *knob;
        const char *note;
        std::vector<bool> expect;  // fault on calls 1..4 of StartPage
    } rows[] = {
        {"StartPage#2=-1", "second call only", {false, true, false, false}},
        {"StartPage=-4", "every call", {true, true, true, true}},
        {"EndPage#1=-1", "another call is not affected", {false, false, false, false}},
        {"StartPage#x=1", "malformed: ignored", {false, false, false, false}},
        {"StartPage#2", "malformed (no value): ignored", {false, false, false, false}},
    };
    for (const Row &row : rows) {
        set_env("PELLMARK_FAULTS", row.knob);
        trace_reset_for_tests();
        for (size_t call = 0; call < row.expect.size(); call++) {
            long long value = 0;
            bool fired = fault_check("StartPage", &value);
            EXPECT_EQ(fired, row.expect[call])
                << row.note << " (" << row.knob << "), call " << call + 1;
        }
    }
    set_env("PELLMARK_FAULTS", nullptr);
    trace_reset_for_tests();
}

TEST(Trace, FaultedCallIsMarked) {
    std::string got = traced("StartDocA=-4", [] {
        TraceLine t;
        trace_begin(&t, "StartDocA");
        long long v = 0;
        ASSERT_TRUE(fault_check("StartDocA", &v));
        EXPECT_EQ(trace_fault(&t, v), -4);
    });
    EXPECT_EQ(got, "{\"fn\":\"StartDocA\",\"fault\":true,\"ret\":-4}\n");
}
