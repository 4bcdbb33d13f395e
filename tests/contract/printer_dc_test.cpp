// Printers, their DEVMODE and device contexts: OpenPrinterA, DocumentPropertiesA, CreateDCA,
// GetDeviceCaps and DeleteDC against the built-in and profile printers.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "contract/printing_env.h"
#include "core/trace.h"

namespace {

struct Caps {
    int width, height, offset_x, offset_y, horz, vert, dpi;
};

Caps caps_of(HDC dc) {
    return Caps{GetDeviceCaps(dc, PHYSICALWIDTH),   GetDeviceCaps(dc, PHYSICALHEIGHT),
                GetDeviceCaps(dc, PHYSICALOFFSETX), GetDeviceCaps(dc, PHYSICALOFFSETY),
                GetDeviceCaps(dc, HORZRES),         GetDeviceCaps(dc, VERTRES),
                GetDeviceCaps(dc, LOGPIXELSY)};
}

std::string show(const Caps &c) {
    char text[160];
    snprintf(text, sizeof text, "sheet %dx%d offset %d,%d printable %dx%d at %d dpi", c.width,
             c.height, c.offset_x, c.offset_y, c.horz, c.vert, c.dpi);
    return text;
}

}  // namespace

TEST(DeviceCaps, PaperOrientationAndResolutionGiveThePage) {
    printing_env("caps", "Lp300=pdf,.,dpi=300\nWide=pdf,.,margins=0.5in:0:0.5in:1in\n");
    const short P = DMORIENT_PORTRAIT, L = DMORIENT_LANDSCAPE;
    const DWORD code = DM_PAPERSIZE | DM_ORIENTATION;
    const DWORD user = DM_PAPERSIZE | DM_PAPERWIDTH | DM_PAPERLENGTH | DM_ORIENTATION;
    struct Row {
        const char *note;
        const char *printer;
        DEVMODEA dm;
        Caps expect;
    } rows[] = {
        {"Letter portrait, quarter-inch margins",
         "PDF",
         devmode_with(code, 1, 0, 0, P),
         {5100, 6600, 150, 150, 4800, 6300, 600}},
        {"Letter landscape turns the sheet",
         "PDF",
         devmode_with(code, 1, 0, 0, L),
         {6600, 5100, 150, 150, 6300, 4800, 600}},
        {"A4 portrait",
         "PDF",
         devmode_with(code, 9, 0, 0, P),
         {4961, 7016, 150, 150, 4661, 6716, 600}},
        {"A4 landscape",
         "PostScript",
         devmode_with(code, 9, 0, 0, L),
         {7016, 4961, 150, 150, 6716, 4661, 600}},
        {"user size 100 x 150 mm",
         "PDF",
         devmode_with(user, 256, 1000, 1500, P),
         {2362, 3543, 150, 150, 2062, 3243, 600}},
        {"user size landscape",
         "PDF",
         devmode_with(user, 256, 1000, 1500, L),
         {3543, 2362, 150, 150, 3243, 2062, 600}},
        {"width and length win over the code",
         "PDF",
         devmode_with(DM_PAPERSIZE | DM_PAPERWIDTH | DM_PAPERLENGTH, 9, 2159, 2794, 0),
         {5100, 6600, 150, 150, 4800, 6300, 600}},
        {"Legal at 300 dpi from the profile",
         "Lp300",
         devmode_with(code, 5, 0, 0, P),
         {2550, 4200, 75, 75, 2400, 4050, 300}},
        {"profile margins left:top:right:bottom",
         "Wide",
         devmode_with(code, 1, 0, 0, P),
         {5100, 6600, 300, 0, 4500, 6000, 600}},
        {"profile margins turn with the sheet",
         "Wide",
         devmode_with(code, 1, 0, 0, L),
         {6600, 5100, 600, 300, 6000, 4500, 600}},
    };
    for (const Row &row : rows) {
        HDC dc = CreateDCA("WINSPOOL", row.printer, nullptr, &row.dm);
        ASSERT_NE(dc, nullptr) << row.note;
        Caps got = caps_of(dc);
        EXPECT_EQ(show(got), show(row.expect)) << row.note;
        EXPECT_EQ(GetDeviceCaps(dc, TECHNOLOGY), DT_RASPRINTER) << row.note;
        EXPECT_EQ(GetDeviceCaps(dc, HORZSIZE), (int)(got.horz * 25.4 / got.dpi + 0.5)) << row.note;
        EXPECT_TRUE(DeleteDC(dc)) << row.note;
    }
}

TEST(DeviceCaps, FieldsNotNamedInDmFieldsAreIgnored) {
    printing_env("caps_fields");
    DEVMODEA letter = devmode_with(DM_PAPERSIZE, 1, 0, 0, 0);
    HDC reference = CreateDCA("WINSPOOL", "PDF", nullptr, &letter);
    DEVMODEA dm = devmode_with(DM_PAPERSIZE, 1, 1000, 1000, DMORIENT_LANDSCAPE);
    HDC dc = CreateDCA("WINSPOOL", "PDF", nullptr, &dm);
    ASSERT_NE(dc, nullptr);
    EXPECT_EQ(show(caps_of(dc)), show(caps_of(reference)));
    DeleteDC(dc);
    DeleteDC(reference);
}

TEST(OpenPrinter, KnownNamesOpenAndUnknownOnesFailWith1801) {
    printing_env("open", "Office Lp=raw,|cat >/dev/null\n");
    struct Row {
        const char *name;
        bool opens;
        const char *note;
    } rows[] = {
        {"PDF", true, "built-in"},
        {"postscript", true, "built-in, case ignored"},
        {"Office Lp", true, "profile entry"},
        {"No Such Printer", false, "unknown (no queue can have this name)"},
        {"", false, "empty name"},
    };
    for (const Row &row : rows) {
        HANDLE h = nullptr;
        SetLastError(0);
        BOOL ok = OpenPrinterA((LPSTR)row.name, &h, nullptr);
        EXPECT_EQ(ok != 0, row.opens) << row.note;
        if (row.opens) {
            EXPECT_NE(h, nullptr) << row.note;
            EXPECT_TRUE(ClosePrinter(h)) << row.note;
        } else {
            EXPECT_EQ(h, nullptr) << row.note;
            EXPECT_EQ(GetLastError(), (DWORD)ERROR_INVALID_PRINTER_NAME) << row.note;
        }
    }
}

TEST(OpenPrinter, QueueNameWithSchedulerDownSaysTheServiceIsUnavailable) {
    printing_env("open_down");
    HANDLE h = nullptr;
    ASSERT_FALSE(OpenPrinterA((LPSTR) "Office", &h, nullptr));
    DWORD error = GetLastError();
    EXPECT_NE(error, (DWORD)ERROR_INVALID_PRINTER_NAME);
    char *text = nullptr;
    FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM, nullptr, error,
                   MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT), (LPSTR)&text, 0, nullptr);
    ASSERT_NE(text, nullptr) << "error " << error;
    std::string said = text;
    EXPECT_TRUE(said.find("not available") != std::string::npos ||
                said.find("unavailable") != std::string::npos)
        << said;
    LocalFree(text);
}

TEST(DocumentProperties, SizeThenDefaultsThenMerge) {
    printing_env("docprops", "Lp300=raw,out.prn,dpi=300\n");
    HANDLE h = nullptr;
    ASSERT_TRUE(OpenPrinterA((LPSTR) "Lp300", &h, nullptr));
    LONG size = DocumentPropertiesA(nullptr, h, (LPSTR) "Lp300", nullptr, nullptr, 0);
    ASSERT_EQ(size, (LONG)sizeof(DEVMODEA));
    DEVMODEA dm;
    memset(&dm, 0xAB, sizeof dm);
    ASSERT_EQ(DocumentPropertiesA(nullptr, h, (LPSTR) "Lp300", &dm, nullptr, DM_OUT_BUFFER), IDOK);
    EXPECT_STREQ((const char *)dm.dmDeviceName, "Lp300");
    EXPECT_EQ(dm.dmSpecVersion, 0x401);
    EXPECT_EQ(dm.dmSize, sizeof(DEVMODEA));
    EXPECT_EQ(dm.dmDriverExtra, 0);
    EXPECT_EQ(dm.dmOrientation, DMORIENT_PORTRAIT);
    EXPECT_EQ(dm.dmCopies, 1);
    EXPECT_EQ(dm.dmPrintQuality, 300);
    EXPECT_TRUE(dm.dmPaperSize == DMPAPER_A4 || dm.dmPaperSize == DMPAPER_LETTER)
        << "system paper, got " << dm.dmPaperSize;
    EXPECT_TRUE(dm.dmFields & DM_PAPERSIZE);

    // DM_IN_BUFFER: the named fields of the input win, a known code brings its size and name.
    DEVMODEA in = devmode_with(DM_COPIES | DM_PAPERSIZE | DM_ORIENTATION, DMPAPER_LEGAL, 0, 0,
                               DMORIENT_LANDSCAPE);
    in.dmCopies = 3;
    in.dmDefaultSource = 99;  // not named in dmFields: ignored
    DEVMODEA merged;
    ASSERT_EQ(DocumentPropertiesA(nullptr, h, (LPSTR) "Lp300", &merged, &in,
                                  DM_OUT_BUFFER | DM_IN_BUFFER),
              IDOK);
    EXPECT_EQ(merged.dmCopies, 3);
    EXPECT_EQ(merged.dmOrientation, DMORIENT_LANDSCAPE);
    EXPECT_EQ(merged.dmPaperSize, DMPAPER_LEGAL);
    EXPECT_EQ(merged.dmPaperWidth, 2159);
    EXPECT_EQ(merged.dmPaperLength, 3556);
    EXPECT_STREQ((const char *)merged.dmFormName, "Legal");
    EXPECT_EQ(merged.dmDefaultSource, DMBIN_AUTO);
    EXPECT_TRUE(ClosePrinter(h));
    EXPECT_EQ(DocumentPropertiesA(nullptr, h, (LPSTR) "Lp300", &dm, nullptr, DM_OUT_BUFFER), -1)
        << "a closed handle";
}

TEST(CreateDC, UnknownPrinterGivesNullAndDriverRoadDescribesThePrinter) {
    std::string dir = printing_env("createdc");
    EXPECT_EQ(CreateDCA("WINSPOOL", "No Such Printer", nullptr, nullptr), nullptr);
    EXPECT_EQ(GetLastError(), (DWORD)ERROR_INVALID_PRINTER_NAME);
    EXPECT_EQ(CreateDCA("nosuch", "Thing", "x", nullptr), nullptr) << "unknown driver";
    HDC dc = CreateDCA("raw", "Lp", (dir + "/out.prn").c_str(), nullptr);
    ASSERT_NE(dc, nullptr) << "driver road: driver, device, port";
    EXPECT_EQ(GetDeviceCaps(dc, LOGPIXELSX), 600);
    int query = PASSTHROUGH;
    EXPECT_NE(Escape(dc, QUERYESCSUPPORT, 4, (LPCSTR)&query, nullptr), 0) << "a raw device";
    DeleteDC(dc);
    EXPECT_FALSE(DeleteDC(dc)) << "a deleted context";
}

TEST(Trace, PrinterCallsNameTheirArguments) {
    std::string dir = printing_env("printer_trace");
    std::string trace = dir + "/trace.jsonl";
    set_env("PELLMARK_TRACE", trace.c_str());
    set_env("PELLMARK_FAULTS", "OpenPrinterA#2=0");
    trace_reset_for_tests();
    HANDLE h = nullptr;
    OpenPrinterA((LPSTR) "PDF", &h, nullptr);
    DEVMODEA dm;
    DocumentPropertiesA(nullptr, h, (LPSTR) "PDF", &dm, nullptr, DM_OUT_BUFFER);
    ClosePrinter(h);
    HANDLE faulted = nullptr;
    EXPECT_FALSE(OpenPrinterA((LPSTR) "PDF", &faulted, nullptr)) << "second call faulted";
    EXPECT_EQ(GetLastError(), (DWORD)ERROR_INVALID_PRINTER_NAME);
    dm.dmFields = DM_ORIENTATION;
    HDC dc = CreateDCA("WINSPOOL", "PDF", nullptr, &dm);
    GetDeviceCaps(dc, VERTRES);
    DeleteDC(dc);
    set_env("PELLMARK_TRACE", nullptr);
    set_env("PELLMARK_FAULTS", nullptr);
    trace_reset_for_tests();
    std::string got = read_file(trace);
    const char *expect[] = {
        "{\"fn\":\"OpenPrinterA\",\"name\":\"PDF\",\"error\":0,\"ret\":1}",
        "{\"fn\":\"DocumentPropertiesA\",\"device\":\"PDF\",\"mode\":2,\"devmode\":{"
        "\"deviceName\":\"PDF\",\"specVersion\":1025,",
        "{\"fn\":\"OpenPrinterA\",\"name\":\"PDF\",\"error\":1801,\"fault\":true,\"ret\":0}",
        "{\"fn\":\"CreateDCA\",\"driver\":\"WINSPOOL\",\"device\":\"PDF\",\"port\":null,"
        "\"devmode\":{\"deviceName\":\"PDF\",\"specVersion\":1025,\"fields\":1,",
        "{\"fn\":\"GetDeviceCaps\",\"index\":10,\"ret\":",
        "{\"fn\":\"DeleteDC\",\"hdc\":",
    };
    for (const char *line : expect)
        EXPECT_NE(got.find(line), std::string::npos) << line << "\n" << got;
}
