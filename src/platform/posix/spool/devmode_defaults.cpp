// The printers' DEVMODE: see devmode_defaults.h.
#include "spool/devmode_defaults.h"

#include <cstddef>
#include <cstdio>
#include <cstring>

#include "printer/paper_tables.h"

namespace {

const DWORD DEFAULT_FIELDS = DM_ORIENTATION | DM_PAPERSIZE | DM_PAPERLENGTH | DM_PAPERWIDTH |
                             DM_COPIES | DM_DEFAULTSOURCE | DM_PRINTQUALITY | DM_YRESOLUTION |
                             DM_COLLATE | DM_FORMNAME;

// The first paper form of this size (tenths of a millimetre, half a millimetre tolerance),
// so Letter wins over its equal-sized namesakes; null when none.
const PaperForm *form_of_size(int width_tenth, int length_tenth) {
    for (const PaperForm *f = paper_forms; f->name; f++) {
        int w = (int)(f->width_mm * 10 + 0.5), l = (int)(f->length_mm * 10 + 0.5);
        if (w - width_tenth >= -5 && w - width_tenth <= 5 && l - length_tenth >= -5 &&
            l - length_tenth <= 5)
            return f;
    }
    return nullptr;
}

const PaperForm *form_of_code(int code) {
    for (const PaperForm *f = paper_forms; f->name; f++)
        if (f->code == code) return f;
    return nullptr;
}

// Copies a text into a fixed field, cut to size - 1 bytes and zero-padded.
void copy_cut(BYTE *field, size_t size, const char *text) {
    size_t n = strnlen(text, size - 1);
    memset(field, 0, size);
    memcpy(field, text, n);
}

void set_form_name(DEVMODEA *dm, const char *name) { copy_cut(dm->dmFormName, CCHFORMNAME, name); }

// True when the field ending at `end` lies inside the part of `in` that dmSize covers.
bool covers(const DEVMODEA *in, size_t end) { return in->dmSize >= end; }

}  // namespace

void devmode_defaults(const PrinterInfo *printer, DEVMODEA *dm) {
    memset(dm, 0, sizeof *dm);
    copy_cut(dm->dmDeviceName, CCHDEVICENAME, printer->name);
    dm->dmSpecVersion = printer->spec_version ? printer->spec_version : (WORD)DM_SPECVERSION;
    dm->dmDriverVersion = 0x0100;
    dm->dmSize = sizeof(DEVMODEA);
    dm->dmDriverExtra = 0;
    dm->dmFields = DEFAULT_FIELDS;
    dm->dmOrientation = DMORIENT_PORTRAIT;
    int width = (printer->width_hmm + 5) / 10, length = (printer->length_hmm + 5) / 10;
    const PaperForm *form = form_of_size(width, length);
    dm->dmPaperSize = form ? (short)form->code : (short)DMPAPER_USER;
    dm->dmPaperWidth = (short)(width > 32767 ? 32767 : width);
    dm->dmPaperLength = (short)(length > 32767 ? 32767 : length);
    set_form_name(dm, form ? form->name : printer->media_name);
    dm->dmScale = 100;
    dm->dmCopies = 1;
    dm->dmDefaultSource = DMBIN_AUTO;
    dm->dmPrintQuality = (short)printer->dpi;
    dm->dmYResolution = (short)printer->dpi;
    dm->dmCollate = DMCOLLATE_FALSE;
}

void devmode_merge(DEVMODEA *dm, const DEVMODEA *in) {
    DWORD f = in->dmFields;
#define PM_TAKE(bit, field)                                                        \
    if ((f & (bit)) && covers(in, offsetof(DEVMODEA, field) + sizeof in->field)) { \
        dm->field = in->field;                                                     \
        dm->dmFields |= (bit);                                                     \
    }
    PM_TAKE(DM_ORIENTATION, dmOrientation)
    PM_TAKE(DM_PAPERSIZE, dmPaperSize)
    if ((f & DM_PAPERSIZE) && !(f & (DM_PAPERWIDTH | DM_PAPERLENGTH))) {
        const PaperForm *form = form_of_code(dm->dmPaperSize);
        if (form) {
            dm->dmPaperWidth = (short)(form->width_mm * 10 + 0.5);
            dm->dmPaperLength = (short)(form->length_mm * 10 + 0.5);
            set_form_name(dm, form->name);
        }
    }
    PM_TAKE(DM_PAPERLENGTH, dmPaperLength)
    PM_TAKE(DM_PAPERWIDTH, dmPaperWidth)
    PM_TAKE(DM_SCALE, dmScale)
    PM_TAKE(DM_COPIES, dmCopies)
    PM_TAKE(DM_DEFAULTSOURCE, dmDefaultSource)
    PM_TAKE(DM_PRINTQUALITY, dmPrintQuality)
    PM_TAKE(DM_COLOR, dmColor)
    PM_TAKE(DM_DUPLEX, dmDuplex)
    PM_TAKE(DM_YRESOLUTION, dmYResolution)
    PM_TAKE(DM_TTOPTION, dmTTOption)
    PM_TAKE(DM_COLLATE, dmCollate)
#undef PM_TAKE
    if ((f & DM_FORMNAME) && covers(in, offsetof(DEVMODEA, dmFormName) + CCHFORMNAME)) {
        char name[CCHFORMNAME + 1];
        memcpy(name, in->dmFormName, CCHFORMNAME);
        name[CCHFORMNAME] = 0;
        set_form_name(dm, name);
        dm->dmFields |= DM_FORMNAME;
    }
}

LONG devmode_query(const PrinterInfo *printer, DEVMODEA *out, const DEVMODEA *in, DWORD mode) {
    if (mode == 0) return PRINTER_DEVMODE_SIZE;
    if (!(mode & DM_OUT_BUFFER)) return IDOK;  // nothing to hand back; the input is accepted
    if (!out) return -1;
    DEVMODEA dm;
    devmode_defaults(printer, &dm);
    if ((mode & DM_IN_BUFFER) && in) devmode_merge(&dm, in);
    memcpy(out, &dm, sizeof dm);
    return IDOK;
}
