// The page of a new device context: see page_setup.h.
#include "gdi/page_setup.h"

#include <cstdio>
#include <cstring>

#include "printer/paper_tables.h"

namespace {

const PaperForm *form_of_code(int code) {
    for (const PaperForm *f = paper_forms; f->name; f++)
        if (f->code == code) return f;
    return nullptr;
}

int tenth_mm_to_units(int tenth, int dpi) { return (int)((double)tenth * dpi / 254.0 + 0.5); }
int hmm_to_units(int hmm, int dpi) { return (int)((double)hmm * dpi / 2540.0 + 0.5); }

// The paper of the DEVMODE in tenths of a millimetre, starting from the printer's default.
void paper_of(const DEVMODEA *dm, int *width, int *length, CupsJobOptions *job) {
    DWORD f = dm->dmFields;
    const PaperForm *form = nullptr;
    if (f & DM_PAPERSIZE) {
        form = form_of_code(dm->dmPaperSize);
        job->paper_code = dm->dmPaperSize;
    } else if (f & DM_FORMNAME) {
        char name[CCHFORMNAME + 1];
        memcpy(name, dm->dmFormName, CCHFORMNAME);
        name[CCHFORMNAME] = 0;
        form = FindPaperForm(name);
        if (form) job->paper_code = form->code;
    }
    if (form) {
        *width = (int)(form->width_mm * 10 + 0.5);
        *length = (int)(form->length_mm * 10 + 0.5);
    }
    if ((f & DM_PAPERWIDTH) && dm->dmPaperWidth > 0) {
        *width = dm->dmPaperWidth;
        job->width_tenth_mm = *width;
    }
    if ((f & DM_PAPERLENGTH) && dm->dmPaperLength > 0) {
        *length = dm->dmPaperLength;
        job->length_tenth_mm = *length;
    }
    if (job->width_tenth_mm || job->length_tenth_mm) {  // a user size names both sides
        job->width_tenth_mm = *width;
        job->length_tenth_mm = *length;
    }
}

void job_of(const DEVMODEA *dm, CupsJobOptions *job) {
    DWORD f = dm->dmFields;
    if ((f & DM_COPIES) && dm->dmCopies > 0) job->copies = dm->dmCopies;
    if (f & DM_COLLATE) job->collate = dm->dmCollate == DMCOLLATE_TRUE;
    if ((f & DM_DEFAULTSOURCE) && dm->dmDefaultSource > 0) job->source = dm->dmDefaultSource;
    if (f & DM_ORIENTATION) job->orientation = dm->dmOrientation;
    if (f & DM_FORMNAME) {
        memcpy(job->form_name, dm->dmFormName, CCHFORMNAME);
        job->form_name[sizeof job->form_name - 1] = 0;
    }
}

}  // namespace

void page_setup_from_devmode(const PrinterInfo *printer, const DEVMODEA *dm, PageSetup *page,
                             CupsJobOptions *job) {
    memset(job, 0, sizeof *job);
    job->copies = 1;
    int width = (printer->width_hmm + 5) / 10, length = (printer->length_hmm + 5) / 10;
    if (width <= 0 || length <= 0) width = 2100, length = 2970;
    if (dm) {
        paper_of(dm, &width, &length, job);
        job_of(dm, job);
    }
    bool landscape = job->orientation == DMORIENT_LANDSCAPE;
    int dpi = printer->dpi > 0 ? printer->dpi : DEFAULT_DPI;
    page->dpi = dpi;
    page->width_tenth_mm = width;
    page->length_tenth_mm = length;
    int w = tenth_mm_to_units(width, dpi), h = tenth_mm_to_units(length, dpi);
    int m[4];  // left, top, right, bottom of the portrait sheet
    for (int i = 0; i < 4; i++)
        m[i] = printer->margin_hmm[i] > 0 ? hmm_to_units(printer->margin_hmm[i], dpi) : 0;
    if (landscape) {
        // The sheet turns a quarter counterclockwise: its bottom edge becomes the left one.
        int t = w;
        w = h;
        h = t;
        int p[4] = {m[3], m[0], m[1], m[2]};
        memcpy(m, p, sizeof m);
    }
    if (w - m[0] - m[2] < 1) m[0] = m[2] = 0;  // margins wider than the sheet: none
    if (h - m[1] - m[3] < 1) m[1] = m[3] = 0;
    page->width = w;
    page->height = h;
    page->offset_x = m[0];
    page->offset_y = m[1];
    page->horz_res = w - m[0] - m[2];
    page->vert_res = h - m[1] - m[3];
}
