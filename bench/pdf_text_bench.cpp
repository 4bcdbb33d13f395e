// Prints a report the way the composer does (the real line reader, overstrike decoder and
// run cutting) into the direct PDF text writer, without a device context: how fast the
// direct path can be, to compare with the device path's numbers from bench/run.sh.
//
//     pdf_text_bench REPORT OUTPUT.pdf
//
// Landscape Letter at 600 dpi, a 9-point em on 5.4-point cells, 9-point lines from the top;
// a page holds 68 lines; a form feed ends a page as in the composer.
#include <fontconfig/fontconfig.h>

#include <cstdio>
#include <string>

#include "pdf/pdf_text.h"
#include "render/line_reader.h"
#include "render/overstrike.h"

namespace {

const int DPI = 600;
const double EM = 75, CELL = 45, LINE = 75, ASCENT = 62;
const int LINES_PER_PAGE = (int)(8.5 * DPI / LINE);

PdfText doc;
int fonts[2];

bool write_to_file(void *context, const void *bytes, size_t count) {
    return fwrite(bytes, 1, count, (FILE *)context) == count;
}

std::string font_file(const char *pattern) {
    FcPattern *p = FcNameParse((const FcChar8 *)pattern);
    FcConfigSubstitute(nullptr, p, FcMatchPattern);
    FcDefaultSubstitute(p);
    FcResult result;
    FcPattern *m = FcFontMatch(nullptr, p, &result);
    FcPatternDestroy(p);
    std::string path;
    FcChar8 *file;
    if (m && FcPatternGetString(m, FC_FILE, 0, &file) == FcResultMatch) path = (const char *)file;
    if (m) FcPatternDestroy(m);
    return path;
}

void draw_run(PrintJob *, BYTE attributes, int x, int y, const char *text, WORD length) {
    PdfRunStyle style = {EM, CELL, (attributes & ATTR_UNDERLINE) != 0, 1, false};
    pdf_text_run(&doc, fonts[(attributes & ATTR_BOLD) ? 1 : 0], &style, x, y + ASCENT,
                 (const unsigned char *)text, length);
}

}  // namespace

int main(int argc, char **argv) {
    if (argc != 3) {
        fprintf(stderr, "usage: pdf_text_bench REPORT OUTPUT.pdf\n");
        return 2;
    }
    FILE *out = fopen(argv[2], "wb");
    PrintJob job;
    InitPrintJob(&job);
    job.report_file = _lopen(argv[1], OF_READ);
    if (!out || job.report_file == HFILE_ERROR || !pdf_text_begin(&doc, write_to_file, out, DPI)) {
        fprintf(stderr, "pdf_text_bench: cannot open %s or %s\n", argv[1], argv[2]);
        return 1;
    }
    fonts[0] = pdf_text_font(&doc, font_file("Liberation Mono").c_str(), 0);
    fonts[1] = pdf_text_font(&doc, font_file("Liberation Mono:bold").c_str(), 0);
    char line[512], text[DECODE_BUFFER_SIZE];
    BYTE attributes[DECODE_BUFFER_SIZE];
    int line_number = 0, pages = 0, status;
    for (;;) {
        int count = GetLine(&job, line, sizeof line, &status);
        line[count] = 0;
        if (status == CTL_EOF) break;
        if (pages == 0 && status == CTL_FORM_FEED && count == 0) continue;
        if (line_number == 0) {
            pdf_text_page(&doc, 11 * DPI, 8.5 * DPI);
            pages++;
        }
        if (count) {
            DecodeOverstrike(line, count, text, attributes);
            EmitRunsThrough(draw_run, &job, text, attributes, (int)(line_number * LINE), (int)CELL);
            line_number++;
        }
        if (line_number >= LINES_PER_PAGE || status == CTL_FORM_FEED) {
            line_number = 0;
            pdf_text_end_page(&doc);
        }
    }
    _lclose(job.report_file);
    bool ok = pdf_text_finish(&doc);
    ok = fclose(out) == 0 && ok;
    printf("%d pages\n", pages);
    return ok ? 0 : 1;
}
