// Drawing a printer document straight into PDF: see pdf_direct.h.
//
// Faces: every font the document draws with is embedded from its own face file when that
// face is TrueType. The context's font at StartDoc decides the path of the whole document:
// when it cannot be embedded the document goes to cairo. A font selected later whose face
// cannot be embedded (a CFF face, or a ninth face) draws with the nearest face that can: the
// fixed-pitch core face of the same weight, else the document's first face. Its cells,
// em and decorations stay those of the font asked for, so the layout does not move.
#include "gdi/pdf_direct.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <strings.h>

#include "gdi/cp1252.h"
#include "gdi/font_object.h"
#include "pdf/pdf_text.h"

namespace {

// A face file the document tried: its writer font, or -1 when it could not be embedded.
struct DirectFace {
    char path[4096];
    int index;
    int font;
};

const int DIRECT_FACES = 2 * PDF_TEXT_FONTS;  // embedded ones and refused ones

}  // namespace

struct PdfDirect {
    PdfText doc;
    DirectFace faces[DIRECT_FACES];
    int face_count;
    bool first_bold;  // the first face is itself bold
};

namespace {

bool write_to_sink(void *context, const void *bytes, size_t count) {
    return sink_write((OutputSink *)context, bytes, count);
}

// The writer font of a face file, loading it on first use; -1 when it cannot be embedded.
// A face beyond the table's room is not tried (and counts as refused).
int face_font(PdfDirect *d, const char *path, int index) {
    for (int i = 0; i < d->face_count; i++) {
        const DirectFace &f = d->faces[i];
        if (f.index == index && strcmp(f.path, path) == 0) return f.font;
    }
    if (d->face_count == DIRECT_FACES) return -1;
    DirectFace &f = d->faces[d->face_count++];
    snprintf(f.path, sizeof f.path, "%s", path);
    f.index = index;
    f.font = pdf_text_font(&d->doc, path, index);
    return f.font;
}

// The writer font for a realised font and whether its strokes must be thickened: the font's
// own face when it can be embedded, else the nearest one that can (see the file comment).
int font_for(PdfDirect *d, const FontObject *font, bool *embolden) {
    *embolden = font->synthetic_bold;
    int own = face_font(d, font->path, font->face_index);
    if (own >= 0) return own;
    bool bold = font->lf.lfWeight >= 600;
    LOGFONTA lf = font->lf;
    snprintf(lf.lfFaceName, sizeof lf.lfFaceName, "%s", "Courier New");
    FontMatch *m = (FontMatch *)malloc(sizeof(FontMatch));
    int near = m && font_match(&lf, m) ? face_font(d, m->path, m->index) : -1;
    *embolden = bold && !(near >= 0 ? m->bold_face : d->first_bold);
    free(m);
    return near >= 0 ? near : 0;
}

bool broken(const DeviceContext *dc) {
    const PdfText &doc = dc->direct->doc;
    return doc.failed || (doc.out && doc.out->failed) || dc->sink.error;
}

// The spooler code of a failed document: a full disk shows through the sink's errno.
int failure_code(const DeviceContext *dc) { return sink_spooler_code(dc->sink.error); }

void release(DeviceContext *dc, bool finish, bool *finished) {
    if (finish)
        *finished = pdf_text_finish(&dc->direct->doc);
    else
        pdf_text_abandon(&dc->direct->doc);
    free(dc->direct);
    dc->direct = nullptr;
}

}  // namespace

bool pdf_direct_wanted(const DeviceContext *dc) {
    const char *engine = getenv("PELLMARK_PDF_ENGINE");
    return !dc->printer.cairo_engine && !(engine && strcasecmp(engine, "cairo") == 0);
}

bool pdf_direct_begin(DeviceContext *dc, const char *title) {
    FontObject *font = font_from(dc->font);
    if (!font || !font_realize(font, dc->page.dpi)) return false;
    PdfDirect *d = (PdfDirect *)calloc(1, sizeof(PdfDirect));
    if (!d) return false;
    // The header stays in the writer's buffer until the first page: giving up here leaves the
    // sink as it was.
    if (!pdf_text_begin(&d->doc, write_to_sink, &dc->sink, dc->page.dpi) ||
        face_font(d, font->path, font->face_index) != 0) {
        pdf_text_abandon(&d->doc);
        free(d);
        return false;
    }
    d->first_bold = font->bold_face;
    uint16_t units[256];
    int n = 0;
    for (const char *c = title ? title : ""; *c && n < 256; c++)  // longer titles are cut
        units[n++] = cp1252_unicode[(unsigned char)*c];
    pdf_text_info(&d->doc, units, n, "Pellmark");
    dc->direct = d;
    return true;
}

int pdf_direct_begin_page(DeviceContext *dc) {
    pdf_text_page(&dc->direct->doc, dc->page.width, dc->page.height);
    return broken(dc) ? failure_code(dc) : 0;
}

// The page goes out at once, so that a CUPS job or a command has it before the next page.
int pdf_direct_end_page(DeviceContext *dc) {
    PdfText *doc = &dc->direct->doc;
    if (pdf_text_end_page(doc) && pdf_output_flush(doc->out)) sink_flush(&dc->sink);
    return broken(dc) ? failure_code(dc) : 0;
}

int pdf_direct_end_doc(DeviceContext *dc) {
    bool finished = false;
    release(dc, true, &finished);
    bool ok = finished && !dc->sink.error;
    if (!ok) {
        int code = failure_code(dc);
        sink_discard(&dc->sink);
        return code;
    }
    return sink_commit(&dc->sink);
}

void pdf_direct_cancel(DeviceContext *dc) {
    dc->sink.error = dc->sink.error ? dc->sink.error : ECANCELED;
    release(dc, false, nullptr);
    sink_discard(&dc->sink);
}

// Each byte's glyph starts where the ones before it advanced the pen, as on cairo; bytes
// without a glyph only advance it. A fixed-pitch run goes to the writer in pieces between
// such bytes, a proportional one glyph by glyph with the glyph's own advance as its cell.
bool pdf_direct_text(DeviceContext *dc, int x, int y, const unsigned char *bytes, int count) {
    FontObject *font = font_from(dc->font);
    if (!font || !font_realize(font, dc->page.dpi)) return false;
    PdfDirect *d = dc->direct;
    PdfRunStyle style = {font->em, (double)font->tm.tmAveCharWidth, false, font->xscale, false};
    int face = font_for(d, font, &style.embolden);
    const double left = x + dc->page.offset_x, top = y + dc->page.offset_y;
    const double baseline = top + font->tm.tmAscent;
    int pen = 0;
    for (int i = 0; i < count;) {
        if (!font->glyph[bytes[i]]) {
            pen += font->advance[bytes[i++]];
            continue;
        }
        int j = i + 1;
        if (font->monospace)
            while (j < count && font->glyph[bytes[j]]) j++;
        else
            style.cell = font->advance[bytes[i]];
        pdf_text_run(&d->doc, face, &style, left + pen, baseline, bytes + i, j - i);
        for (; i < j; i++) pen += font->advance[bytes[i]];
    }
    // Bars as cairo fills them: from the run's left edge to the pen, top and thickness
    // from the font.
    if (font->lf.lfUnderline) {
        double middle = top + font->underline_top + font->underline_size / 2.0;
        pdf_text_line(&d->doc, left, middle, left + pen, middle, font->underline_size);
    }
    if (font->lf.lfStrikeOut) {
        double middle = top + font->strike_top + font->strike_size / 2.0;
        pdf_text_line(&d->doc, left, middle, left + pen, middle, font->strike_size);
    }
    return !broken(dc);
}

// A one-unit pen covers the device units from the start up to, not including, the end, as
// on cairo: a straight line is a bar one unit thick along those units.
bool pdf_direct_line(DeviceContext *dc, int x0, int y0, int x1, int y1) {
    PdfText *doc = &dc->direct->doc;
    const double ox = dc->page.offset_x, oy = dc->page.offset_y;
    if (x0 == x1 || y0 == y1) {
        bool vertical = x0 == x1 && y0 != y1;
        int from = vertical ? y0 : x0, to = vertical ? y1 : x1;
        double a = from < to ? from : to + 1, b = from < to ? to : from + 1;
        if (vertical)
            pdf_text_line(doc, ox + x0 + 0.5, oy + a, ox + x0 + 0.5, oy + b, 1);
        else if (x0 != x1)
            pdf_text_line(doc, ox + a, oy + y0 + 0.5, ox + b, oy + y0 + 0.5, 1);
    } else {
        pdf_text_line(doc, ox + x0 + 0.5, oy + y0 + 0.5, ox + x1 + 0.5, oy + y1 + 0.5, 1);
    }
    return !broken(dc);
}
