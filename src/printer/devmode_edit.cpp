// Editing a printer's device mode from the job's settings.
#include "printer/devmode_edit.h"

#include <cmath>
#include <cstring>

#include "printer/paper_tables.h"

short ClampToShort(int32_t value) {
    if (value > 32767) return 32767;
    if (value < -32768) return -32768;
    return (short)value;
}

// The paper size from the width and length alone: every row of the same sheet matches, in
// table order, so of several equal rows the last one wins ("Letter", "Letter small" and
// "Note" end on "Note"). The sheet must be given as the table gives it, width first.
static void MatchPaperByDimensions(const PrintJob *job, DEVMODEA *devmode) {
    for (const PaperForm *form = paper_forms; form->name; ++form) {
        if (std::lround(form->width_mm * 10.0) != job->width) continue;
        if (std::lround(form->length_mm * 10.0) != job->length) continue;
        devmode->dmPaperSize = (short)form->code;
        devmode->dmFields |= DM_PAPERSIZE;
        devmode->dmFields &= ~(DWORD)(DM_PAPERWIDTH | DM_PAPERLENGTH);
    }
}

// The paper form: a form named by the job wins over its width and length; the values
// already written to dmPaperWidth/dmPaperLength stay, but their bits are cleared so the
// driver takes the form's own size.
static void ApplyPaperForm(const PrintJob *job, DEVMODEA *devmode) {
    if (job->form_id[0]) {
        const PaperForm *form = FindPaperForm(job->form_id);
        if (!form) return;
        devmode->dmPaperSize = (short)form->code;
        devmode->dmFields |= DM_PAPERSIZE;
        devmode->dmFields &= ~(DWORD)(DM_PAPERWIDTH | DM_PAPERLENGTH);
    } else if (job->width != 0 && job->length != 0) {
        MatchPaperByDimensions(job, devmode);
    }
}

// Form name and collation exist only in layouts after Windows 3.1. The form name goes in as
// the job spells it, found in the paper table or not, so a form that only the printer knows
// can still be named.
static void ApplyLaterLayoutFields(const PrintJob *job, DEVMODEA *devmode) {
    if (devmode->dmSpecVersion <= DEVMODE_VERSION_31) return;
    if (job->form_id[0]) {
        memset(devmode->dmFormName, 0, sizeof devmode->dmFormName);
        // form_id and dmFormName have the same capacity; strnlen keeps the copy in bounds
        // even so.
        size_t n = strnlen(job->form_id, sizeof devmode->dmFormName - 1);
        memcpy(devmode->dmFormName, job->form_id, n);
        devmode->dmFields |= DM_FORMNAME;
    }
    if (job->collate) {
        devmode->dmCollate = DMCOLLATE_TRUE;
        devmode->dmFields |= DM_COLLATE;
    }
}

void EditDevMode(const PrintJob *job, DEVMODEA *devmode) {
    // The driver's own mask is dropped: from here on dmFields names only what the job sets.
    devmode->dmFields = 0;
    if (job->copies != 1) {
        devmode->dmCopies = ClampToShort(job->copies);
        devmode->dmFields |= DM_COPIES;
    }
    devmode->dmOrientation = job->orientation;
    devmode->dmFields |= DM_ORIENTATION;
    if (job->source != 0) {
        devmode->dmDefaultSource = job->source;
        devmode->dmFields |= DM_DEFAULTSOURCE;
    }
    if (job->width != 0) {
        devmode->dmPaperWidth = ClampToShort(job->width);
        devmode->dmPaperSize = DMPAPER_USER;
        devmode->dmFields |= DM_PAPERWIDTH | DM_PAPERSIZE;
    }
    if (job->length != 0) {
        devmode->dmPaperLength = ClampToShort(job->length);
        devmode->dmPaperSize = DMPAPER_USER;
        devmode->dmFields |= DM_PAPERLENGTH | DM_PAPERSIZE;
    }
    ApplyPaperForm(job, devmode);
    ApplyLaterLayoutFields(job, devmode);
}
