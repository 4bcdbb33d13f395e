// Printing and text calls as Win32 defines them, checked the same way on our layer and on
// Windows itself (the Windows build runs this under Wine). The printer is the one that
// PELLMARK_CONTRACT_PRINTER names, else our layer's built-in "PDF" printer.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>

#include "platform/windows_services.h"
#include "support/test_support.h"

namespace {

std::string printer_name() {
    const char *name = getenv("PELLMARK_CONTRACT_PRINTER");
    return name && *name ? name : "PDF";
}

// True under Wine, whose PostScript driver differs from Windows' drivers where a test says so.
bool under_wine() {
#if defined(_WIN32)
    HMODULE ntdll = GetModuleHandleA("ntdll.dll");
    return ntdll && GetProcAddress(ntdll, "wine_get_version");
#else
    return false;
#endif
}

// Keeps the machine's own CUPS printers out of the POSIX run; Wine reads its printers from
// the scheduler it started with and ignores this.
void quiet_scheduler() {
    std::string dir = test_dir("win32_printing");
    set_env("CUPS_SERVER", (dir + "/no-scheduler.sock").c_str());
}

struct Metrics {
    TEXTMETRICA tm;
    std::string face;
};

Metrics realise(HDC dc, const char *face, LONG height, BYTE pitch) {
    LOGFONTA lf;
    memset(&lf, 0, sizeof lf);
    lf.lfHeight = height;
    lf.lfWeight = FW_NORMAL;
    lf.lfPitchAndFamily = pitch;
    snprintf(lf.lfFaceName, sizeof lf.lfFaceName, "%s", face);
    HFONT font = CreateFontIndirectA(&lf);
    HGDIOBJ old = SelectObject(dc, font);
    Metrics m{};
    GetTextMetricsA(dc, &m.tm);
    char name[LF_FACESIZE] = "";
    GetTextFaceA(dc, sizeof name, name);
    m.face = name;
    SelectObject(dc, old);
    DeleteObject(font);
    return m;
}

}  // namespace

TEST(Win32OpenPrinter, UnknownNameFailsWithInvalidPrinterName) {
    quiet_scheduler();
    HANDLE printer = (HANDLE)1;
    SetLastError(0);
    char unknown[] = "No Such Printer 4711";
    EXPECT_FALSE(OpenPrinterA(unknown, &printer, nullptr));
    EXPECT_EQ(GetLastError(), (DWORD)ERROR_INVALID_PRINTER_NAME) << "1801";
    EXPECT_EQ(printer, nullptr) << "the handle is cleared on failure";

    std::string name = printer_name();
    ASSERT_TRUE(OpenPrinterA(name.data(), &printer, nullptr)) << name;
    EXPECT_NE(printer, nullptr);
    EXPECT_TRUE(ClosePrinter(printer));
}

TEST(Win32DocumentProperties, SizeFirstThenTheDevmodeThatFillsIt) {
    quiet_scheduler();
    std::string name = printer_name();
    HANDLE printer = nullptr;
    ASSERT_TRUE(OpenPrinterA(name.data(), &printer, nullptr)) << name;
    LONG size = DocumentPropertiesA(nullptr, printer, name.data(), nullptr, nullptr, 0);
    ASSERT_GE(size, (LONG)sizeof(DEVMODEA)) << "mode 0 gives the size, driver data included";
    std::string buffer(size + 64, '\xAA');
    DEVMODEA *dm = reinterpret_cast<DEVMODEA *>(buffer.data());
    EXPECT_EQ(DocumentPropertiesA(nullptr, printer, name.data(), dm, nullptr, DM_OUT_BUFFER), IDOK);
    EXPECT_EQ(dm->dmSize, sizeof(DEVMODEA)) << "156 bytes, the published structure";
    EXPECT_EQ(dm->dmSize + dm->dmDriverExtra, size) << "public part plus driver data";
    EXPECT_EQ(buffer[size], '\xAA') << "nothing written behind the size it asked for";
    EXPECT_EQ(strncmp((const char *)dm->dmDeviceName, name.c_str(), CCHDEVICENAME - 1), 0);
    EXPECT_NE(dm->dmFields & DM_ORIENTATION, 0u);
    EXPECT_EQ(dm->dmOrientation, DMORIENT_PORTRAIT);
    if (under_wine()) {
        // Wine's PostScript driver keeps the Windows 3.1 layout, so form names and collation
        // never reach its device mode.
        EXPECT_EQ(dm->dmSpecVersion, 0x30A) << "Wine's PostScript driver";
    } else {
        EXPECT_GT(dm->dmSpecVersion, 0x30A) << "a Windows 95/NT layout: form name and collation";
    }
    ClosePrinter(printer);
}

TEST(Win32Escape, QueryEscSupportAnswersPerEscape) {
    quiet_scheduler();
    std::string name = printer_name();
    HDC dc = CreateDCA("WINSPOOL", name.c_str(), nullptr, nullptr);
    ASSERT_NE(dc, nullptr) << name;
    struct Row {
        int escape;
        bool supported;
        const char *note;
    } rows[] = {
        {QUERYESCSUPPORT, true, "the query itself"},
        {12345, false, "an escape no driver knows"},
    };
    for (const Row &row : rows) {
        int escape = row.escape;
        int got = Escape(dc, QUERYESCSUPPORT, sizeof escape, (LPCSTR)&escape, nullptr);
        EXPECT_EQ(got != 0, row.supported) << row.note << ": got " << got;
    }
    if (under_wine()) {
        // Wine's PostScript driver passes bytes through into its PostScript stream; our PDF
        // printer does not (raw printers do, in their own test).
        int escape = PASSTHROUGH;
        EXPECT_NE(Escape(dc, QUERYESCSUPPORT, sizeof escape, (LPCSTR)&escape, nullptr), 0);
    }
    DeleteDC(dc);
}

TEST(Win32Fonts, HeightRulesAndPitchBits) {
    quiet_scheduler();
    std::string name = printer_name();
    HDC dc = CreateDCA("WINSPOOL", name.c_str(), nullptr, nullptr);
    ASSERT_NE(dc, nullptr) << name;
    // A negative height asks for the em (character height), a positive one for the cell.
    struct Row {
        LONG height;
        const char *note;
    } rows[] = {{-50, "em of 50"}, {-42, "10 pt at 300 dpi"}, {60, "cell of 60"}, {100, "cell"}};
    for (const Row &row : rows) {
        Metrics m = realise(dc, "Courier New", row.height, FIXED_PITCH | FF_MODERN);
        LONG got = row.height < 0 ? m.tm.tmHeight - m.tm.tmInternalLeading : m.tm.tmHeight;
        LONG want = row.height < 0 ? -row.height : row.height;
        EXPECT_NEAR(got, want, 1) << row.note << " (" << m.face << ")";
    }
    // TMPF_FIXED_PITCH set means a variable pitch font: the bit's name says the opposite.
    Metrics fixed = realise(dc, "Courier New", -42, FIXED_PITCH | FF_MODERN);
    EXPECT_EQ(fixed.tm.tmPitchAndFamily & TMPF_FIXED_PITCH, 0) << fixed.face << " is fixed";
    EXPECT_EQ(fixed.tm.tmPitchAndFamily & 0xF0, FF_MODERN) << fixed.face;
    Metrics variable = realise(dc, "Arial", -42, VARIABLE_PITCH | FF_SWISS);
    EXPECT_NE(variable.tm.tmPitchAndFamily & TMPF_FIXED_PITCH, 0)
        << variable.face << " is proportional";
    DeleteDC(dc);
}

// The United States code pages: OEM 437 and ANSI 1252, one byte for one byte.
TEST(Win32CodePages, OemAndAnsiLettersMapBothWays) {
    struct Row {
        unsigned char oem, ansi;
        const char *note;
    } rows[] = {
        {0x41, 0x41, "ASCII stays"}, {0x84, 0xE4, "a umlaut"},   {0x94, 0xF6, "o umlaut"},
        {0x81, 0xFC, "u umlaut"},    {0x8E, 0xC4, "A umlaut"},   {0xE1, 0xDF, "sharp s"},
        {0x9C, 0xA3, "pound"},       {0x82, 0xE9, "e acute"},    {0xA4, 0xF1, "n tilde"},
        {0xF8, 0xB0, "degree"},      {0xF1, 0xB1, "plus-minus"}, {0xAE, 0xAB, "guillemet"},
    };
    for (const Row &row : rows) {
        char oem[2] = {(char)row.oem, 0}, ansi[2] = {(char)row.ansi, 0}, out[2] = {1, 1};
        EXPECT_TRUE(OemToCharA(oem, out));
        EXPECT_EQ((unsigned char)out[0], row.ansi) << row.note << ": OemToCharA";
        EXPECT_EQ(out[1], 0) << row.note << ": terminator copied";
        EXPECT_TRUE(CharToOemA(ansi, out));
        EXPECT_EQ((unsigned char)out[0], row.oem) << row.note << ": CharToOemA";
    }
    // In place, a whole text.
    char text[] =
        "K\x94ln-S\x81"
        "d";
    EXPECT_TRUE(OemToCharA(text, text));
    EXPECT_STREQ(text,
                 "K\xF6ln-S\xFC"
                 "d");
}
