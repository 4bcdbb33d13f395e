// The page composer: prints one report file on the printer that the set-up chose, on a fixed
// grid of lines and character columns, with the progress dialog up while it prints.
#include "render/page_composer.h"

#include <cstdio>
#include <cstring>

#include "diag/debug_log.h"
#include "diag/spool_check.h"
#include "job/startup.h"
#include "printer/printer_setup.h"
#include "render/abort_dialog.h"
#include "render/line_reader.h"
#include "render/overstrike.h"
#include "render/run_output.h"

namespace {

const int REPORT_LINE_SIZE = 512;
const int STATUS_TEXT_SIZE = 100;  // with its terminator; a longer text is cut
const int STATUS_CONTROL_ID = 100;
const int FACE_NAME_SIZE = 32;  // LF_FACESIZE

// Indexes of report_fonts, in the order the run output selects them.
const int FONT_COUNT = 4;
const LONG font_weights[FONT_COUNT] = {FW_NORMAL, FW_BOLD, FW_NORMAL, FW_BOLD};
const BYTE font_underlines[FONT_COUNT] = {0, 0, 1, 1};

// State of one PrintReport call; the buffers are reused for every line.
struct Composer {
    PrintJob *job;
    int char_width;      // device units per character column
    int line_height;     // device units from one line to the next
    int lines_per_page;  // whole lines that fit the printable height
    int line_number;     // index of the next line on the open page
    int page_number;     // last page started, from 1
    bool page_open;
    char line[REPORT_LINE_SIZE];
    char text[DECODE_BUFFER_SIZE];
    BYTE attributes[DECODE_BUFFER_SIZE];
    char status_text[STATUS_TEXT_SIZE];
};

// Opens the report for reading. False (and one log line with the system's error code) when
// it cannot be opened; then nothing else has been taken.
bool OpenReport(PrintJob *job) {
    job->report_file = _lopen(job->report_name, OF_READ);
    if (job->report_file != HFILE_ERROR) return true;
    DebugPrintf("lopen(%s) failed because of error %d\n", job->report_name, (int)GetLastError());
    return false;
}

// Raw printing needs the PASSTHROUGH escape. A printer without it prints the report as text,
// and the flag stays cleared for later files. Runs before the first line is read, so the
// line reader and the run output see the cleared flag.
void CheckPassthrough(PrintJob *job) {
    if (!job->raw) return;
    int escape = PASSTHROUGH;
    if (Escape(job->printer_dc, QUERYESCSUPPORT, sizeof escape, (LPCSTR)&escape, nullptr) != 0)
        return;
    DebugPrintf("PASSTHROUGH not supported, ignoring -raw flag\n");
    job->raw = 0;
}

// The font the report asks for: the printer's default font, resized to `pitch` points when a
// pitch is given, in the face `font` when one is named. The default font's pitch-and-family
// byte is copied as it is.
void FillLogFont(PrintJob *job, const TEXTMETRICA *defaults, LOGFONTA *font) {
    memset(font, 0, sizeof *font);
    if (job->pitch != 0) {
        font->lfHeight = -MulDiv(job->pitch, GetDeviceCaps(job->printer_dc, LOGPIXELSY), 72);
        font->lfWidth = 0;
    } else {
        font->lfHeight = defaults->tmHeight;
        font->lfWidth = defaults->tmAveCharWidth;
    }
    font->lfCharSet = ANSI_CHARSET;
    font->lfPitchAndFamily = defaults->tmPitchAndFamily;
    // Both buffers hold 32 bytes with the terminator, as the job's field does.
    if (job->font[0] != 0) {
        snprintf(font->lfFaceName, FACE_NAME_SIZE, "%s", job->font);
    } else {
        GetTextFaceA(job->printer_dc, FACE_NAME_SIZE, font->lfFaceName);
    }
}

// Makes the four report fonts from the printer's default font, selects the normal one and
// measures the grid with it as the printer realises it. The calls' results are not tested;
// a grid without a line height (no metrics at all) puts every line on a page of its own
// rather than dividing by zero.
void MakeFontsAndGrid(Composer *c) {
    HDC dc = c->job->printer_dc;
    TEXTMETRICA metrics = {};
    GetTextMetricsA(dc, &metrics);
    LOGFONTA font;
    FillLogFont(c->job, &metrics, &font);
    for (int i = 0; i < FONT_COUNT; i++) {
        font.lfWeight = font_weights[i];
        font.lfUnderline = font_underlines[i];
        report_fonts[i] = CreateFontIndirectA(&font);
    }
    SelectObject(dc, report_fonts[0]);
    metrics = TEXTMETRICA{};
    GetTextMetricsA(dc, &metrics);
    c->char_width = metrics.tmAveCharWidth;
    c->line_height = metrics.tmHeight + metrics.tmExternalLeading;
    int height = GetDeviceCaps(dc, VERTRES);
    c->lines_per_page = c->line_height > 0 ? height / c->line_height : 0;
}

// Deletes the report fonts. Called only once the device context is gone, so no font is
// deleted while it is selected into a live device context.
void DeleteFonts() {
    for (int i = 0; i < FONT_COUNT; i++) {
        if (report_fonts[i]) DeleteObject(report_fonts[i]);
        report_fonts[i] = nullptr;
    }
}

// Clears the cancel flag, shows the progress dialog unless the job runs without windows, and
// installs the abort procedure, which also runs without a dialog.
void ShowProgress(PrintJob *job) {
    user_abort = 0;
    if (!job->no_windows)
        progress_dialog = CreateDialogParamA(app_instance, "AbrtDlg", GetFocus(), AbrtDlgP, 0);
    SetAbortProc(job->printer_dc, AbrtProc);
}

// Starts the spooler document, named as the report was spelled on the command line. False
// when the spooler refused (the check has told the user).
bool StartDocument(PrintJob *job) {
    DOCINFOA info = {};
    info.cbSize = sizeof info;
    info.lpszDocName = job->report_name;
    return !CheckSpoolResult("StartDoc", StartDocA(job->printer_dc, &info));
}

// Opens the next page: counts it, shows "<report> (page n)" in the dialog and the log, and
// draws the top ruler. False when the spooler refused the page.
bool OpenPage(Composer *c) {
    c->page_number++;
    snprintf(c->status_text, sizeof c->status_text, "%s (page %i)", c->job->report_name,
             c->page_number);
    if (progress_dialog) SetDlgItemTextA(status_dialog, STATUS_CONTROL_ID, c->status_text);
    DebugPrintf("Printing %s\n", c->status_text);
    if (CheckSpoolResult("StartPage", StartPage(c->job->printer_dc))) {
        DebugPrintf("StartPage failed - exiting\n");
        return false;
    }
    c->page_open = true;
    DrawRuler(c->job, 0);
    return true;
}

// Ends the open page. False when the spooler refused; `failure` is the log line for that.
bool ClosePage(Composer *c, const char *failure) {
    c->line_number = 0;
    c->page_open = false;
    if (!CheckSpoolResult("EndPage", EndPage(c->job->printer_dc))) return true;
    DebugPrintf("%s", failure);
    return false;
}

// Prints one line that GetLine returned (count bytes, 0 byte behind) and ends the page when
// it is full or the line ended with a form feed. False on a spooler failure.
bool PrintLine(Composer *c, int count, int status) {
    if (!c->page_open && !OpenPage(c)) return false;
    if (count != 0) {
        DecodeOverstrike(c->line, count, c->text, c->attributes);
        EmitRuns(c->job, c->text, c->attributes, c->line_number * c->line_height, c->char_width);
        c->line_number++;
    }
    if (c->line_number >= c->lines_per_page || status == CTL_FORM_FEED)
        return ClosePage(c, "EndPage failed - exiting\n");
    return true;
}

// The page loop: line by line until the end of the file or the user's Cancel. Form feeds
// before the first page are skipped, so a report does not begin with empty pages. False on a
// spooler failure, after which the document is given up without EndDoc.
bool PrintPages(Composer *c) {
    while (!user_abort) {
        int status = CTL_LINE;
        int count = GetLine(c->job, c->line, REPORT_LINE_SIZE, &status);
        c->line[count] = 0;  // count <= 511: the buffer has room
        DebugPrintf("GetLine returned %s\n", c->line);
        if (status == CTL_EOF) {
            DebugPrintf("GetLine found CTL_EOF\n");
            break;
        }
        if (c->page_number == 0 && status == CTL_FORM_FEED && count == 0) {
            DebugPrintf("Skipping initial FORM_FEED\n");
            continue;
        }
        if (!PrintLine(c, count, status)) return false;
    }
    return true;
}

// Finishes the document after the loop, also after a Cancel: the closing ruler below the last
// line and the end of the open page, then EndDoc. The closing ruler is drawn only on an open
// page; outside a page there is nothing to draw on. True when the document was ended.
bool FinishDocument(Composer *c) {
    if (c->page_open) {
        DrawRuler(c->job, c->line_number * c->line_height);
        if (!ClosePage(c, "EndPage (2) failed - exiting\n")) return false;
    }
    int result = EndDoc(c->job->printer_dc);
    // EndDoc documents success as a result above 0; 0 is no failure to report, but the
    // report is not known to be printed either.
    return !CheckSpoolResult("EndDoc", result) && result > 0;
}

// Gives back what the file took, whatever led here: the dialog, the device context (which
// cancels a document still open), the report file, and then the fonts.
void CleanUp(PrintJob *job) {
    if (progress_dialog) {
        DestroyWindow(progress_dialog);
        progress_dialog = nullptr;
    }
    if (job->printer_dc) {
        DeleteDC(job->printer_dc);
        job->printer_dc = nullptr;
    }
    _lclose(job->report_file);
    DeleteFonts();
}

// Everything from the printer set-up to the end of the document. True when the document was
// ended by EndDoc; the caller cleans up in every case.
bool PrintOpenReport(Composer *c) {
    PrintJob *job = c->job;
    if (!SetupPrinter(job) || !job->printer_dc) return false;
    CheckPassthrough(job);
    MakeFontsAndGrid(c);
    ShowProgress(job);
    if (!StartDocument(job)) return false;
    c->line_number = 0;
    c->page_number = 0;
    c->page_open = false;
    if (!PrintPages(c)) return false;
    return FinishDocument(c);
}

}  // namespace

// Prints the report named by job->report_name. Every outcome is told by the debug log, a
// message box or the printer set-up. The report counts as printed only when its document
// was ended and the user did not cancel; the disposition keeps any other report.
void PrintReport(PrintJob *job) {
    job->printed = 0;
    if (!OpenReport(job)) return;
    Composer composer = {};
    composer.job = job;
    bool ended = PrintOpenReport(&composer);
    CleanUp(job);
    job->printed = (ended && user_abort == 0) ? 1 : 0;
}
