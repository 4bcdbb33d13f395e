// The CUPS client against a private scheduler (tests/lib/cupsd.sh): queue discovery, the
// scheduler-down answer, byte-exact jobs on a PDF and a raw queue, job attributes, streaming
// and cancelling.
#include <dirent.h>
#include <fcntl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "cups/cups_client.h"
#include "cups/cups_job_options.h"
#include "support/private_cupsd.h"
#include "support/test_support.h"

namespace {

// The private scheduler of the suite, for the helpers below.
PrivateCupsd &sched = PrivateCupsdTest::sched;

// Points the client at the private scheduler (or at `server`), forgetting cached answers.
void use_server(const std::string &server) {
    set_env("CUPS_SERVER", server.c_str());
    cups_client_reset();
}

bool wait_for_file(const std::string &path, int seconds) { return cupsd_wait_for(path, seconds); }

std::string captured(const char *queue, int id) { return cupsd_captured(sched, queue, id); }

// A small but real PDF document; the bytes matter, not what they draw.
std::string sample_pdf() {
    return "%PDF-1.4\n%\xe2\xe3\xcf\xd3\n"
           "1 0 obj <</Type/Catalog/Pages 2 0 R>> endobj\n"
           "2 0 obj <</Type/Pages/Kids[3 0 R]/Count 1>> endobj\n"
           "3 0 obj <</Type/Page/Parent 2 0 R/MediaBox[0 0 612 792]>> endobj\n"
           "trailer <</Root 1 0 R>>\n%%EOF\n";
}

class CupsScheduler : public PrivateCupsdTest {};

TEST_F(CupsScheduler, ListsEveryQueueWithItsKindDefaultAndMedia) {
    struct Row {
        const char *name, *model;
        bool raw, is_default;
        const char *media;
        int width, length, left, bottom, right, top;
    } rows[] = {
        // The PDF queue's PPD: A4 by default, margins of 1/4 inch left/right, 1/2 inch
        // top/bottom.
        {"pdfq", "Capture PDF", false, true, "iso_a4_210x297mm", 21000, 29700, 635, 1270, 635,
         1270},
        // A raw queue has no driver, so no media is known.
        {"rawq", "Local Raw Printer", true, false, "", 0, 0, -1, -1, -1, -1},
    };
    CupsQueue queues[8];
    int count = cups_list_queues(queues, 8);
    ASSERT_EQ(count, 2) << "error " << cups_last_error();
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        const CupsQueue *q = nullptr;
        for (int i = 0; i < count; i++)
            if (strcmp(queues[i].name, row.name) == 0) q = &queues[i];
        ASSERT_NE(q, nullptr) << "queue missing from the list";
        EXPECT_STREQ(q->make_and_model, row.model);
        EXPECT_EQ(q->raw, row.raw);
        EXPECT_EQ(q->is_default, row.is_default);
        EXPECT_STREQ(q->media_default, row.media);
        EXPECT_EQ(q->width_hmm, row.width);
        EXPECT_EQ(q->length_hmm, row.length);
        EXPECT_EQ(q->left_hmm, row.left);
        EXPECT_EQ(q->bottom_hmm, row.bottom);
        EXPECT_EQ(q->right_hmm, row.right);
        EXPECT_EQ(q->top_hmm, row.top);
    }
    // A short buffer is filled, never overrun.
    CupsQueue one[2];
    memset(&one[1], 0x5a, sizeof one[1]);
    EXPECT_EQ(cups_list_queues(one, 1), 1);
    EXPECT_EQ(reinterpret_cast<unsigned char *>(&one[1])[0], 0x5a);
}

TEST_F(CupsScheduler, FindsQueuesIgnoringCaseAndRejectsUnknownNames) {
    CupsQueue q;
    ASSERT_TRUE(cups_find_queue("RAWQ", &q));
    EXPECT_STREQ(q.name, "rawq");
    EXPECT_TRUE(q.raw);
    EXPECT_FALSE(cups_find_queue("no-such-queue", &q));
    EXPECT_EQ(cups_last_error(), 1801u);
    DWORD error = 0;
    EXPECT_EQ(cups_job_start("no-such-queue", "t", nullptr, false, &error), nullptr);
    EXPECT_EQ(error, 1801u);
}

// A queue that rejects jobs fails the job at its start with "device not ready".
TEST_F(CupsScheduler, RejectingQueueFailsTheJobStart) {
    ASSERT_EQ(system("PATH=$PATH:/usr/sbin cupsreject rawq"), 0);
    DWORD error = 0;
    CupsJob *job = cups_job_start("rawq", "refused", nullptr, true, &error);
    EXPECT_EQ(job, nullptr);
    EXPECT_EQ(error, 21u);
    if (job) cups_job_cancel(job);
    ASSERT_EQ(system("PATH=$PATH:/usr/sbin cupsaccept rawq"), 0);
}

TEST_F(CupsScheduler, PdfJobArrivesByteExactWithItsAttributes) {
    CupsJobOptions opt = {};
    opt.copies = 2;
    opt.collate = true;
    opt.paper_code = 1;  // Letter
    opt.orientation = 2;
    opt.source = 4;  // manual feed
    DWORD error = 99;
    CupsJob *job = cups_job_start("pdfq", "quarterly.txt", &opt, false, &error);
    ASSERT_NE(job, nullptr) << "error " << error;
    EXPECT_EQ(error, 0u);
    int id = cups_job_id(job);
    EXPECT_GT(id, 0);
    std::string pdf = sample_pdf();
    // In uneven pieces, as a surface's stream delivers them.
    size_t cut = 7;
    ASSERT_TRUE(cups_job_write(job, pdf.data(), cut));
    ASSERT_TRUE(cups_job_write(job, pdf.data() + cut, 0));
    ASSERT_TRUE(cups_job_write(job, pdf.data() + cut, pdf.size() - cut));
    ASSERT_EQ(cups_job_finish(job), 0);
    ASSERT_TRUE(wait_for_file(captured("pdfq", id), 30)) << "job " << id << " never printed";
    EXPECT_EQ(read_file(captured("pdfq", id)), pdf);
    std::string args = read_file(captured("pdfq", id) + ".args");
    const char *expected[] = {"copies=2\n",
                              "multiple-document-handling=separate-documents-collated-copies",
                              "media=na_letter_8.5x11in",
                              "orientation-requested=4",
                              "media-source=manual",
                              "title=quarterly.txt"};
    for (const char *want : expected)
        EXPECT_NE(args.find(want), std::string::npos) << "want " << want << " in:\n" << args;
}

TEST_F(CupsScheduler, RawJobArrivesByteExact) {
    std::string bytes("\x1b@line one\r\n\0\x0c\xff tail", 18);
    CupsJobOptions opt = {};
    opt.width_tenth_mm = 2100;  // a user size that happens to be A4
    opt.length_tenth_mm = 2970;
    CupsJob *job = cups_job_start("rawq", "raw", &opt, true, nullptr);
    ASSERT_NE(job, nullptr) << "error " << cups_last_error();
    int id = cups_job_id(job);
    ASSERT_TRUE(cups_job_write(job, bytes.data(), bytes.size()));
    ASSERT_EQ(cups_job_finish(job), 0);
    ASSERT_TRUE(wait_for_file(captured("rawq", id), 30)) << "job " << id << " never printed";
    EXPECT_EQ(read_file(captured("rawq", id)), bytes);
    std::string args = read_file(captured("rawq", id) + ".args");
    EXPECT_NE(args.find("media=iso_a4_210x297mm"), std::string::npos) << args;
    EXPECT_NE(args.find("copies=1\n"), std::string::npos) << args;
}

// True when some file directly in `dir` holds exactly `bytes`.
bool folder_holds(const std::string &dir, const std::string &bytes) {
    DIR *d = opendir(dir.c_str());
    bool found = false;
    for (dirent *e = d ? readdir(d) : nullptr; e && !found; e = readdir(d))
        found = e->d_name[0] != '.' && read_file(dir + "/" + e->d_name) == bytes;
    if (d) closedir(d);
    return found;
}

// Report names are not always UTF-8 or short: the job must print all the same.
TEST_F(CupsScheduler, AnsiAndLongTitlesStillPrint) {
    std::string title = "Bericht M\xe4rz " + std::string(400, 'x');
    CupsJob *job = cups_job_start("rawq", title.c_str(), nullptr, true, nullptr);
    ASSERT_NE(job, nullptr) << "error " << cups_last_error();
    int id = cups_job_id(job);
    ASSERT_TRUE(cups_job_write(job, "x", 1));
    ASSERT_EQ(cups_job_finish(job), 0);
    ASSERT_TRUE(wait_for_file(captured("rawq", id), 30));
    std::string args = read_file(captured("rawq", id) + ".args");
    EXPECT_NE(args.find("title=Bericht M\xc3\xa4rz xxx"), std::string::npos) << args;
}

// A flushed page reaches the scheduler's spool folder while the document is still open.
TEST_F(CupsScheduler, FlushedPagesAreSpooledBeforeTheDocumentEnds) {
    CupsJob *job = cups_job_start("pdfq", "stream", nullptr, false, nullptr);
    ASSERT_NE(job, nullptr) << "error " << cups_last_error();
    int id = cups_job_id(job);
    std::string first = "%PDF-1.4\n% first page of the streamed job\n";
    std::string document = first + sample_pdf().substr(9);
    ASSERT_TRUE(cups_job_write(job, first.data(), first.size()));
    ASSERT_TRUE(cups_job_flush(job));
    bool seen = false;
    for (int i = 0; i < 200 && !seen; i++) {
        seen = folder_holds(sched.dir + "/spool", first);
        if (!seen) usleep(50 * 1000);
    }
    EXPECT_TRUE(seen) << "expected a spool file holding the first " << first.size()
                      << " bytes before the document ended";
    std::string rest = document.substr(first.size());
    ASSERT_TRUE(cups_job_write(job, rest.data(), rest.size()));
    ASSERT_EQ(cups_job_finish(job), 0);
    ASSERT_TRUE(wait_for_file(captured("pdfq", id), 30));
    EXPECT_EQ(read_file(captured("pdfq", id)), document);
}

TEST_F(CupsScheduler, CancelledJobNeverPrints) {
    CupsJob *job = cups_job_start("pdfq", "cancelled", nullptr, false, nullptr);
    ASSERT_NE(job, nullptr) << "error " << cups_last_error();
    int id = cups_job_id(job);
    std::string pdf = sample_pdf();
    ASSERT_TRUE(cups_job_write(job, pdf.data(), pdf.size() / 2));
    cups_job_cancel(job);
    // The next job on the same queue prints; the cancelled one must not have come first.
    CupsJob *next = cups_job_start("pdfq", "after", nullptr, false, nullptr);
    ASSERT_NE(next, nullptr);
    int next_id = cups_job_id(next);
    ASSERT_TRUE(cups_job_write(next, pdf.data(), pdf.size()));
    ASSERT_EQ(cups_job_finish(next), 0);
    ASSERT_TRUE(wait_for_file(captured("pdfq", next_id), 30));
    struct stat st;
    EXPECT_NE(stat(captured("pdfq", id).c_str(), &st), 0) << "cancelled job " << id << " printed";
}

// A unix socket that accepts connections and never reads from them; -1 on failure.
int listen_on(const std::string &path) {
    sockaddr_un addr = {};
    if (path.size() >= sizeof addr.sun_path) return -1;
    int fd = socket(AF_UNIX, SOCK_STREAM, 0);
    addr.sun_family = AF_UNIX;
    memcpy(addr.sun_path, path.c_str(), path.size() + 1);
    if (fd < 0 || bind(fd, reinterpret_cast<sockaddr *>(&addr), sizeof addr) != 0 ||
        listen(fd, 4) != 0) {
        if (fd >= 0) close(fd);
        return -1;
    }
    return fd;
}

// With no scheduler the client answers at once with "service unavailable", and remembers it.
TEST(CupsDown, NoSchedulerGivesNoQueuesAndServiceUnavailable) {
    std::string dir = test_dir("cups_down");
    std::string sock = dir + "/sock";
    use_server(sock);
    CupsQueue q[4];
    EXPECT_EQ(cups_list_queues(q, 4), 0);
    EXPECT_EQ(cups_last_error(), 1722u);
    EXPECT_FALSE(cups_find_queue("pdfq", q));
    EXPECT_EQ(cups_last_error(), 1722u);
    DWORD error = 0;
    EXPECT_EQ(cups_job_start("pdfq", "t", nullptr, false, &error), nullptr);
    EXPECT_EQ(error, 1722u);

    // Once down, the client does not try again: a socket now listening there is never
    // connected to.
    int listener = listen_on(sock);
    ASSERT_GE(listener, 0) << "cannot listen on " << sock;
    EXPECT_EQ(cups_list_queues(q, 4), 0);
    EXPECT_EQ(cups_last_error(), 1722u);
    fcntl(listener, F_SETFL, O_NONBLOCK);
    int tried = accept(listener, nullptr, nullptr);
    EXPECT_LT(tried, 0) << "the client connected again to a scheduler it knew was down";
    if (tried >= 0) close(tried);
    close(listener);
    unlink(sock.c_str());
    cups_client_reset();
}

// A scheduler that accepts the connection but never answers is reported as down after the
// query timeout, not as some other failure.
TEST(CupsDown, HungSchedulerCountsAsDown) {
    std::string sock = test_dir("cups_hung") + "/sock";
    int listener = listen_on(sock);
    ASSERT_GE(listener, 0) << "cannot listen on " << sock;
    use_server(sock);
    CupsQueue q[4];
    EXPECT_EQ(cups_list_queues(q, 4), 0);
    EXPECT_EQ(cups_last_error(), 1722u);
    close(listener);
    unlink(sock.c_str());
    cups_client_reset();
}

// Document titles become job names the scheduler accepts.
TEST(CupsTitle, TitlesBecomeUtf8JobNames) {
    struct Row {
        const char *note, *in;
        size_t size;
        const char *want;
    } rows[] = {
        {"plain", "r.txt", 64, "r.txt"},
        {"none", nullptr, 64, "Untitled"},
        {"empty", "", 64, "Untitled"},
        {"UTF-8 kept", "M\xc3\xa4rz", 64, "M\xc3\xa4rz"},
        {"ANSI letter becomes UTF-8", "M\xe4rz", 64, "M\xc3\xa4rz"},
        {"ANSI 0x80 row becomes ?", "\x80 total", 64, "? total"},
        {"cut at a whole character", "ab\xc3\xa4", 4, "ab"},
        {"cut short", "abcdef", 4, "abc"},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.note);
        char out[64];
        cups_job_title(row.in, out, row.size);
        EXPECT_STREQ(out, row.want);
    }
}

// Paper choices become libcups' self-describing media names.
TEST(CupsMedia, PaperChoicesBecomeMediaNames) {
    struct Row {
        const char *note;
        int width, length, code;
        const char *form;
        const char *want;  // null: no media attribute
    } rows[] = {
        {"nothing chosen", 0, 0, 0, "", nullptr},
        {"Letter by code", 0, 0, 1, "", "na_letter_8.5x11in"},
        {"A4 by code", 0, 0, 9, "", "iso_a4_210x297mm"},
        {"Legal by form name, any case", 0, 0, 0, "legal", "na_legal_8.5x14in"},
        {"user size wins over the code", 2100, 2970, 1, "", "iso_a4_210x297mm"},
        {"code wins over the form name", 0, 0, 9, "Letter", "iso_a4_210x297mm"},
        {"unknown code, no form", 0, 0, 9999, "", nullptr},
        {"a photo size", 1000, 1500, 0, "", "om_small-photo_100x150mm"},
        {"an odd user size", 1234, 1111, 0, "", "custom_123.4x111.1mm_123.4x111.1mm"},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.note);
        CupsJobOptions opt = {};
        opt.width_tenth_mm = row.width;
        opt.length_tenth_mm = row.length;
        opt.paper_code = row.code;
        snprintf(opt.form_name, sizeof opt.form_name, "%s", row.form);
        char name[64] = "";
        bool got = cups_media_name(&opt, name, sizeof name);
        EXPECT_EQ(got, row.want != nullptr) << "got " << name;
        if (row.want) {
            EXPECT_STREQ(name, row.want);
        }
    }
}

}  // namespace
