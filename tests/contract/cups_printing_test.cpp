// Printing through real device contexts onto a private CUPS scheduler: a PDF
// queue gets a searchable PDF that is spooled page by page, a raw queue gets
// PASSTHROUGH bytes unchanged.
#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "cups/cups_client.h"
#include "support/private_cupsd.h"
#include "support/test_support.h"
#include "win32_api.h"
#include "support/command_output.h"

namespace {

PrivateCupsd &sched = PrivateCupsdTest::sched;

class CupsPrinting : public PrivateCupsdTest {};

// The document job `id` of `queue` printed, or "" when it did not arrive in
// time.
std::string wait_for_document(const char *queue, int id) {
    std::string path = cupsd_captured(sched, queue, id);
    return cupsd_wait_for(path, 30) ? path : "";
}

// Bytes of the biggest document the scheduler is still receiving: it keeps one
// in its spool folder under a temporary name of eight hex digits until the
// document is complete.
size_t receiving_bytes() {
    std::string folder = sched.dir + "/spool";
    DIR *d = opendir(folder.c_str());
    size_t most = 0;
    for (dirent *e = d ? readdir(d) : nullptr; e; e = readdir(d)) {
        struct stat st;
        std::string name = e->d_name;
        bool temporary =
            name.size() == 8 && name.find_first_not_of("0123456789abcdef") == std::string::npos;
        if (temporary && stat((folder + "/" + name).c_str(), &st) == 0)
            most = std::max(most, static_cast<size_t>(st.st_size));
    }
    if (d) closedir(d);
    return most;
}

// The number after "Pages:" in pdfinfo's answer, or -1.
int page_count(const std::string &pdf) {
    std::string info = command_output("pdfinfo '" + pdf + "' 2>&1");
    size_t at = info.find("Pages:");
    return at == std::string::npos ? -1 : atoi(info.c_str() + at + 6);
}

// Starts a document on `queue` and returns its job id (0 on failure).
int start_doc(HDC dc, const char *name) {
    DOCINFOA info = {sizeof(DOCINFOA), name, nullptr, nullptr, 0};
    return StartDocA(dc, &info);
}

bool print_page(HDC dc, const char *text) {
    return StartPage(dc) > 0 && TextOutA(dc, 100, 100, text, (int)strlen(text)) && EndPage(dc) > 0;
}

TEST_F(CupsPrinting, PdfQueueGetsSearchableText) {
    HDC dc = CreateDCA("WINSPOOL", "pdfq", nullptr, nullptr);
    ASSERT_NE(dc, nullptr);
    int id = start_doc(dc, "cups e2e");
    ASSERT_GT(id, 0);
    ASSERT_TRUE(print_page(dc, "Quarterly totals 4711"));
    ASSERT_TRUE(print_page(dc, "Second page 0815"));
    ASSERT_GT(EndDoc(dc), 0);
    EXPECT_TRUE(DeleteDC(dc));

    std::string pdf = wait_for_document("pdfq", id);
    ASSERT_FALSE(pdf.empty()) << "job " << id << " never arrived at the pdf queue";
    EXPECT_EQ(read_file(pdf).rfind("%PDF-", 0), 0u);
    std::string text = command_output("pdftotext -layout '" + pdf + "' - 2>&1");
    EXPECT_NE(text.find("Quarterly totals 4711"), std::string::npos) << "pdftotext gave:\n" << text;
    EXPECT_NE(text.find("Second page 0815"), std::string::npos) << "pdftotext gave:\n" << text;
    EXPECT_EQ(page_count(pdf), 2);
}

// The DEVMODE's copies, collation, paper, orientation and source reach the job; the PDF's
// page is the chosen paper turned to landscape.
TEST_F(CupsPrinting, DevmodeSettingsTravelWithTheJob) {
    DEVMODEA dm = {};
    dm.dmSpecVersion = 0x401;
    dm.dmSize = sizeof dm;
    dm.dmFields = DM_COPIES | DM_COLLATE | DM_PAPERSIZE | DM_ORIENTATION | DM_DEFAULTSOURCE;
    dm.dmCopies = 3;
    dm.dmCollate = DMCOLLATE_TRUE;
    dm.dmPaperSize = DMPAPER_LETTER;
    dm.dmOrientation = DMORIENT_LANDSCAPE;
    dm.dmDefaultSource = DMBIN_MANUAL;
    HDC dc = CreateDCA("WINSPOOL", "pdfq", nullptr, &dm);
    ASSERT_NE(dc, nullptr);
    int id = start_doc(dc, "settings e2e");
    ASSERT_GT(id, 0);
    ASSERT_TRUE(print_page(dc, "landscape letter"));
    ASSERT_GT(EndDoc(dc), 0);
    EXPECT_TRUE(DeleteDC(dc));

    std::string pdf = wait_for_document("pdfq", id);
    ASSERT_FALSE(pdf.empty()) << "job " << id << " never arrived at the pdf queue";
    std::string args = read_file(pdf + ".args");
    const char *expected[] = {
        "copies=3\n", "multiple-document-handling=separate-documents-collated-copies",
        "media=na_letter_8.5x11in", "orientation-requested=4", "media-source=manual"};
    for (const char *want : expected)
        EXPECT_NE(args.find(want), std::string::npos) << "want " << want << " in:\n" << args;
    std::string info = command_output("pdfinfo '" + pdf + "' 2>&1");
    EXPECT_NE(info.find("792 x 612 pts"), std::string::npos) << "want a landscape Letter page:\n"
                                                             << info;
}

// A finished page is at the scheduler while the document is still open, so a
// long report starts printing before it has been read to its end.
TEST_F(CupsPrinting, FinishedPageIsSpooledBeforeEndDoc) {
    HDC dc = CreateDCA("WINSPOOL", "pdfq", nullptr, nullptr);
    ASSERT_NE(dc, nullptr);
    int id = start_doc(dc, "stream e2e");
    ASSERT_GT(id, 0);
    ASSERT_TRUE(print_page(dc, "first page"));
    size_t early = 0;
    for (int i = 0; i < 100 && early == 0; i++) {
        early = receiving_bytes();
        if (early == 0) usleep(50 * 1000);
    }
    // libcups holds small writes in its connection buffer: the device pushes them out at
    // EndPage with cups_job_flush.
    EXPECT_GT(early, 0u) << "expected the first page at the scheduler before EndDoc, got 0 bytes";
    ASSERT_GT(EndDoc(dc), 0);
    EXPECT_TRUE(DeleteDC(dc));
    EXPECT_FALSE(wait_for_document("pdfq", id).empty());
}

// Deleting the context with the document open cancels the job: nothing prints.
TEST_F(CupsPrinting, DeleteDcMidDocumentPrintsNothing) {
    HDC dc = CreateDCA("WINSPOOL", "pdfq", nullptr, nullptr);
    ASSERT_NE(dc, nullptr);
    int id = start_doc(dc, "abandoned");
    ASSERT_GT(id, 0);
    ASSERT_TRUE(print_page(dc, "never printed"));
    EXPECT_TRUE(DeleteDC(dc));
    // A later job on the same queue prints; the abandoned one must not print
    // before it.
    HDC next = CreateDCA("WINSPOOL", "pdfq", nullptr, nullptr);
    ASSERT_NE(next, nullptr);
    int next_id = start_doc(next, "after");
    ASSERT_GT(next_id, 0);
    ASSERT_TRUE(print_page(next, "printed"));
    ASSERT_GT(EndDoc(next), 0);
    EXPECT_TRUE(DeleteDC(next));
    ASSERT_FALSE(wait_for_document("pdfq", next_id).empty());
    struct stat st;
    std::string abandoned = cupsd_captured(sched, "pdfq", id);
    EXPECT_NE(stat(abandoned.c_str(), &st), 0) << "the abandoned job " << id << " printed";
}

TEST_F(CupsPrinting, RawQueuePassesBytesThroughUnchanged) {
    HDC dc = CreateDCA("WINSPOOL", "rawq", nullptr, nullptr);
    ASSERT_NE(dc, nullptr);
    int escape = PASSTHROUGH;
    EXPECT_NE(Escape(dc, QUERYESCSUPPORT, sizeof escape, (LPCSTR)&escape, nullptr), 0);
    std::string bytes("\x1b@\x1b(s10H\0\xff\x0c printer codes\r\n", 25);
    std::string buffer;
    buffer += (char)(bytes.size() & 0xff);
    buffer += (char)(bytes.size() >> 8);
    buffer += bytes;
    int id = start_doc(dc, "raw e2e");
    ASSERT_GT(id, 0);
    ASSERT_GT(StartPage(dc), 0);
    EXPECT_GT(Escape(dc, PASSTHROUGH, (int)buffer.size(), buffer.data(), nullptr), 0);
    ASSERT_GT(EndPage(dc), 0);
    ASSERT_GT(EndDoc(dc), 0);
    EXPECT_TRUE(DeleteDC(dc));

    std::string doc = wait_for_document("rawq", id);
    ASSERT_FALSE(doc.empty()) << "no document arrived at the raw queue";
    std::string got = read_file(doc);
    ASSERT_GE(got.size(), bytes.size());
    EXPECT_EQ(got.substr(0, bytes.size()), bytes) << "the passthrough bytes changed on the way";
    // What follows is the page's own end: an empty grid and its form feed.
    EXPECT_EQ(got.find_first_not_of("\r\n\f", bytes.size()), std::string::npos)
        << "unexpected bytes after the passthrough: " << got.substr(bytes.size());
}

}  // namespace
