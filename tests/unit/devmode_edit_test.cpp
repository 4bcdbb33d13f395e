// Editing the device mode from the job: the version gate for form name and collation, the
// dropped driver mask and the clamping of 16-bit fields. (The paper lookups and the
// everyday settings are checked through the binary in tests/e2e/setup_table.sh.)
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>

#include "printer/dev_names.h"
#include "printer/devmode_edit.h"

namespace {

struct EditRow {
    const char *note;
    WORD layout_version;
    std::function<void(PrintJob *)> setup;
    DWORD fields;
    short copies, paper_width, collate;
    const char *form_name;
};

const DWORD ORIENT = DM_ORIENTATION;

TEST(EditDevMode, Table) {
    const EditRow rows[] = {
        {"3.1 layout: form name and collation stay out", 0x30A,
         [](PrintJob *j) {
             strcpy(j->form_id, "a4");
             j->collate = 1;
         },
         ORIENT | DM_PAPERSIZE, 1, 0, 0, ""},
        {"first later layout: form name and collation go in", 0x30B,
         [](PrintJob *j) {
             strcpy(j->form_id, "a4");
             j->collate = 1;
         },
         ORIENT | DM_PAPERSIZE | DM_FORMNAME | DM_COLLATE, 1, 0, 1, "a4"},
        {"0x401 with an unknown form: only the name is sent", 0x401,
         [](PrintJob *j) { strcpy(j->form_id, "Invoice"); }, ORIENT | DM_FORMNAME, 1, 0, 0,
         "Invoice"},
        {"a 31-character form name fills dmFormName with its terminator", 0x401,
         [](PrintJob *j) { memset(j->form_id, 'F', 31); }, ORIENT | DM_FORMNAME, 1, 0, 0,
         "FFFFFFFFFFFFFFFFFFFFFFFFFFFFFFF"},
        {"copies above 32767 are clamped", 0x401, [](PrintJob *j) { j->copies = 100000; },
         ORIENT | DM_COPIES, 32767, 0, 0, ""},
        {"copies below -32768 are clamped", 0x401, [](PrintJob *j) { j->copies = -70000; },
         ORIENT | DM_COPIES, -32768, 0, 0, ""},
        {"32767 itself fits", 0x401, [](PrintJob *j) { j->width = 32767; },
         ORIENT | DM_PAPERWIDTH | DM_PAPERSIZE, 1, 32767, 0, ""},
        {"a width of 32768 is clamped, not wrapped to -32768", 0x401,
         [](PrintJob *j) { j->width = 32768; }, ORIENT | DM_PAPERWIDTH | DM_PAPERSIZE, 1, 32767, 0,
         ""},
    };
    for (const EditRow &row : rows) {
        SCOPED_TRACE(row.note);
        PrintJob job;
        InitPrintJob(&job);
        row.setup(&job);
        DEVMODEA dm;
        memset(&dm, 0, sizeof dm);
        dm.dmSpecVersion = row.layout_version;
        dm.dmFields = 0xFFFFFFFF;  // the driver's own mask, which the edit drops
        dm.dmCopies = 1;
        EditDevMode(&job, &dm);
        EXPECT_EQ(row.fields, dm.dmFields);
        EXPECT_EQ(row.copies, dm.dmCopies);
        EXPECT_EQ(row.paper_width, dm.dmPaperWidth);
        EXPECT_EQ(row.collate, dm.dmCollate);
        EXPECT_EQ(std::string(row.form_name), std::string((const char *)dm.dmFormName, 31).c_str());
        EXPECT_EQ(0, dm.dmFormName[31]);
    }
}

// A DEVNAMES block as the print dialog returns it, with offsets that may be broken.
HGLOBAL MakeNames(WORD driver, WORD device, WORD port, const std::string &texts) {
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, sizeof(DEVNAMES) + texts.size());
    char *base = (char *)GlobalLock(block);
    DEVNAMES names = {driver, device, port, 0};
    memcpy(base, &names, sizeof names);
    memcpy(base + sizeof names, texts.data(), texts.size());
    GlobalUnlock(block);
    return block;
}

TEST(ReadChosenPrinter, ReadsNamesOnlyInsideTheBlock) {
    const WORD at = sizeof(DEVNAMES);
    struct Row {
        const char *note;
        WORD driver, device, port;
        std::string texts;
        bool ok;
        const char *device_name;
    } rows[] = {
        {"well formed", at, at + 9, at + 15, std::string("WINSPOOL\0Other\0\0", 16), true, "Other"},
        {"device offset past the block", at, 500, at, std::string("WINSPOOL\0", 9), false, ""},
        {"device offset inside the header", at, 2, at, std::string("WINSPOOL\0", 9), false, ""},
        {"device name without terminator", at, at + 9, at, std::string("WINSPOOL\0Oth", 12), false,
         ""},
        {"empty device name", at, at + 8, at, std::string("WINSPOOL\0", 9), false, ""},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.note);
        HGLOBAL block = MakeNames(row.driver, row.device, row.port, row.texts);
        ChosenPrinter chosen;
        EXPECT_EQ(row.ok, ReadChosenPrinter(block, &chosen));
        EXPECT_STREQ(row.device_name, row.ok ? chosen.device : "");
        GlobalFree(block);
    }
}

}  // namespace
