// A private CUPS scheduler for a test program: `tests/lib/cupsd.sh serve` in a child
// process. The scheduler lives while the pipe to the child is open, so a test program that
// dies takes its scheduler with it.
#pragma once

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "cups/cups_client.h"
#include "support/test_support.h"

struct PrivateCupsd {
    pid_t pid = -1;
    int to_child = -1;  // closing it stops the scheduler
    std::string server, dir, capture, failure;
};

inline bool cupsd_installed() {
    return access("/usr/sbin/cupsd", X_OK) == 0 || access("/sbin/cupsd", X_OK) == 0;
}

// Starts a scheduler with queues given as "NAME=pdf", "NAME=raw" and "default=NAME". On
// failure `failure` says why (the script's own reasons are on stderr).
inline void cupsd_serve(PrivateCupsd *s, const std::vector<std::string> &queues) {
    const char *src = getenv("PELLMARK_SOURCE_DIR");
    std::string script = std::string(src ? src : ".") + "/tests/lib/cupsd.sh";
    int in[2], out[2];
    // Close-on-exec: no other child of the test may hold the scheduler's lifeline open.
    if (pipe2(in, O_CLOEXEC) != 0 || pipe2(out, O_CLOEXEC) != 0) {
        s->failure = "pipe failed";
        return;
    }
    std::vector<const char *> argv = {"bash", script.c_str(), "serve"};
    for (const std::string &q : queues) argv.push_back(q.c_str());
    argv.push_back(nullptr);
    s->pid = fork();
    if (s->pid == 0) {
        dup2(in[0], 0);
        dup2(out[1], 1);
        close(in[0]), close(in[1]), close(out[0]), close(out[1]);
        execvp("bash", const_cast<char *const *>(argv.data()));
        _exit(127);
    }
    close(in[0]);
    close(out[1]);
    s->to_child = in[1];
    FILE *lines = fdopen(out[0], "r");
    char line[512];
    bool ready = false;
    while (!ready && fgets(line, sizeof line, lines)) {
        line[strcspn(line, "\n")] = '\0';
        std::string text = line;
        if (text == "ready") ready = true;
        if (text.rfind("CUPS_SERVER=", 0) == 0) s->server = text.substr(12);
        if (text.rfind("CUPSD_DIR=", 0) == 0) s->dir = text.substr(10);
        if (text.rfind("CUPSD_CAPTURE=", 0) == 0) s->capture = text.substr(14);
    }
    fclose(lines);
    if (!ready) s->failure = "the private scheduler did not start (its log is above)";
}

inline void cupsd_end(PrivateCupsd *s) {
    if (s->to_child >= 0) close(s->to_child);
    if (s->pid > 0) waitpid(s->pid, nullptr, 0);
    *s = PrivateCupsd();
}

// The file job `id` of `queue` prints to.
inline std::string cupsd_captured(const PrivateCupsd &s, const char *queue, int id) {
    return s.capture + "/" + queue + "/job-" + std::to_string(id);
}

// Waits up to `seconds` for a path to exist.
inline bool cupsd_wait_for(const std::string &path, int seconds) {
    struct stat st;
    for (int i = 0; i < seconds * 20; i++) {
        if (stat(path.c_str(), &st) == 0) return true;
        usleep(50 * 1000);
    }
    return false;
}

// A test suite printing to its own scheduler: the PDF queue "pdfq" (the default) and the raw
// queue "rawq", started once for the suite. Each test points the CUPS client at it; a machine
// without cupsd skips loudly, a cupsd that does not start fails.
class PrivateCupsdTest : public ::testing::Test {
   public:
    inline static PrivateCupsd sched;

   protected:
    static void SetUpTestSuite() {
        if (cupsd_installed()) cupsd_serve(&sched, {"pdfq=pdf", "rawq=raw", "default=pdfq"});
    }
    static void TearDownTestSuite() { cupsd_end(&sched); }
    void SetUp() override {
        if (!cupsd_installed()) {
            fprintf(stderr, "*** SKIPPED: cupsd is not installed; install cups-daemon ***\n");
            GTEST_SKIP() << "cupsd is not installed";
        }
        ASSERT_TRUE(sched.failure.empty()) << sched.failure;
        set_env("CUPS_SERVER", sched.server.c_str());
        cups_client_reset();
    }
};
