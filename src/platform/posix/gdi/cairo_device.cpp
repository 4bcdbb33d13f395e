// Drawing on a cairo surface in device units: see cairo_device.h.
#include "gdi/cairo_device.h"

#include <cairo-pdf.h>
#include <cairo-ps.h>

#include <cerrno>

#include "gdi/font_object.h"

namespace {

cairo_status_t write_to_sink(void *closure, const unsigned char *data, unsigned int length) {
    OutputSink *sink = (OutputSink *)closure;
    return sink_write(sink, data, length) ? CAIRO_STATUS_SUCCESS : CAIRO_STATUS_WRITE_ERROR;
}

// The spooler code for a surface in trouble: a full disk shows through the sink's errno.
int failure_code(DeviceContext *dc) { return sink_spooler_code(dc->sink.error); }

bool broken(DeviceContext *dc) {
    return dc->sink.error || cairo_status(dc->cr) != CAIRO_STATUS_SUCCESS ||
           cairo_surface_status(dc->surface) != CAIRO_STATUS_SUCCESS;
}

void release(DeviceContext *dc) {
    if (dc->cr) cairo_destroy(dc->cr);
    if (dc->surface) cairo_surface_destroy(dc->surface);
    dc->cr = nullptr;
    dc->surface = nullptr;
}

void set_fill(DeviceContext *dc) { cairo_set_source_rgb(dc->cr, 0, 0, 0); }

}  // namespace

int cairo_device_begin(DeviceContext *dc, CairoKind kind, const char *title) {
    const PageSetup &p = dc->page;
    double w = p.width * 72.0 / p.dpi, h = p.height * 72.0 / p.dpi;
    if (kind == CAIRO_DEVICE_PDF) {
        dc->surface = cairo_pdf_surface_create_for_stream(write_to_sink, &dc->sink, w, h);
        cairo_pdf_surface_set_metadata(dc->surface, CAIRO_PDF_METADATA_TITLE, title);
        cairo_pdf_surface_set_metadata(dc->surface, CAIRO_PDF_METADATA_CREATOR, "Pellmark");
    } else {
        dc->surface = cairo_ps_surface_create_for_stream(write_to_sink, &dc->sink, w, h);
        cairo_ps_surface_dsc_comment(dc->surface, "%%Title: Pellmark document");
    }
    dc->cr = cairo_create(dc->surface);
    cairo_scale(dc->cr, 72.0 / p.dpi, 72.0 / p.dpi);
    cairo_translate(dc->cr, p.offset_x, p.offset_y);
    cairo_font_options_t *options = cairo_font_options_create();
    cairo_font_options_set_hint_metrics(options, CAIRO_HINT_METRICS_OFF);
    cairo_font_options_set_hint_style(options, CAIRO_HINT_STYLE_NONE);
    cairo_set_font_options(dc->cr, options);
    cairo_font_options_destroy(options);
    if (broken(dc)) {
        int code = failure_code(dc);
        cairo_device_cancel(dc);
        return code;
    }
    return 0;
}

int cairo_device_begin_page(DeviceContext *) { return 0; }

int device_no_raw_bytes(DeviceContext *, const void *, int) { return 0; }

int cairo_device_end_page(DeviceContext *dc) {
    cairo_show_page(dc->cr);
    if (!broken(dc)) sink_flush(&dc->sink);
    return broken(dc) ? failure_code(dc) : 0;
}

int cairo_device_end_doc(DeviceContext *dc) {
    cairo_destroy(dc->cr);
    dc->cr = nullptr;
    cairo_surface_finish(dc->surface);
    bool ok = cairo_surface_status(dc->surface) == CAIRO_STATUS_SUCCESS && !dc->sink.error;
    int code = ok ? 0 : failure_code(dc);
    release(dc);
    if (!ok) {
        sink_discard(&dc->sink);
        return code;
    }
    return sink_commit(&dc->sink);
}

void cairo_device_cancel(DeviceContext *dc) {
    // Finishing would flush the document into the sink; the sink is discarded instead, so
    // the surface's last words go nowhere.
    dc->sink.error = dc->sink.error ? dc->sink.error : ECANCELED;
    release(dc);
    sink_discard(&dc->sink);
}

bool cairo_device_text(DeviceContext *dc, int x, int y, const unsigned char *bytes, int count) {
    FontObject *font = font_from(dc->font);
    if (!font || !font_realize(font, dc->page.dpi)) return false;
    cairo_t *cr = dc->cr;
    set_fill(dc);
    cairo_set_font_face(cr, font->face);
    cairo_matrix_t m;
    cairo_matrix_init_scale(&m, font->em * font->xscale, font->em);
    cairo_set_font_matrix(cr, &m);
    const double baseline = y + font->tm.tmAscent;
    cairo_glyph_t glyphs[256];
    int n = 0, pen = x;
    for (int i = 0; i < count; i++) {
        int g = font->glyph[bytes[i]];
        if (g) glyphs[n++] = cairo_glyph_t{(unsigned long)g, (double)pen, baseline};
        pen += font->advance[bytes[i]];
        if (n == 256) {  // long texts go out in batches of the fixed array
            cairo_show_glyphs(cr, glyphs, n);
            n = 0;
        }
    }
    if (n) cairo_show_glyphs(cr, glyphs, n);
    if (font->lf.lfUnderline)
        cairo_rectangle(cr, x, y + font->underline_top, pen - x, font->underline_size);
    if (font->lf.lfStrikeOut)
        cairo_rectangle(cr, x, y + font->strike_top, pen - x, font->strike_size);
    cairo_fill(cr);
    return !broken(dc);
}

bool cairo_device_line(DeviceContext *dc, int x0, int y0, int x1, int y1) {
    cairo_t *cr = dc->cr;
    set_fill(dc);
    // A one-unit pen covers the device units from the start up to, not including, the end.
    if (x0 == x1) {
        cairo_rectangle(cr, x0, y0 < y1 ? y0 : y1 + 1, 1, y0 < y1 ? y1 - y0 : y0 - y1);
        cairo_fill(cr);
    } else if (y0 == y1) {
        cairo_rectangle(cr, x0 < x1 ? x0 : x1 + 1, y0, x0 < x1 ? x1 - x0 : x0 - x1, 1);
        cairo_fill(cr);
    } else {
        cairo_set_line_width(cr, 1);
        cairo_move_to(cr, x0 + 0.5, y0 + 0.5);
        cairo_line_to(cr, x1 + 0.5, y1 + 0.5);
        cairo_stroke(cr);
    }
    return !broken(dc);
}
