// PrintDlgA on a terminal.
//
// When stdin and stderr are terminals the dialog is a short form on stderr that edits the
// device mode it was given (or the default printer's, when it was given none) and hands the
// chosen printer back in hDevNames. Without a terminal nobody can answer: the dialog fails
// at once with CDERR_DIALOGFAILURE and says so in one line, so a headless run never waits.
//
// Trace: PrintDlgA {flags, devmode (as returned), device (the chosen printer)}.
// Fault knob: PrintDlgA=0 is a cancelled dialog; any other value is OK pressed at once, with
// the device mode unchanged and its printer (else the default printer) in hDevNames.
#include <unistd.h>

#include <cstdio>
#include <cstring>

#include "comdlg/dialog_printers.h"
#include "comdlg/print_form.h"
#include "core/trace.h"
#include "platform/windows_services.h"

#ifndef CDERR_STRUCTSIZE
#define CDERR_STRUCTSIZE 0x0001
#endif
#ifndef CDERR_DIALOGFAILURE
#define CDERR_DIALOGFAILURE 0xFFFF
#endif
#ifndef CDERR_MEMALLOCFAILURE
#define CDERR_MEMALLOCFAILURE 0x0009
#endif
#ifndef PDERR_PRINTERNOTFOUND
#define PDERR_PRINTERNOTFOUND 0x100B
#endif

namespace {

DWORD last_dialog_error = 0;

// The printer a device mode is for: its device name when the spooler knows it, else the
// default printer. A device name fills at most 32 bytes and need not be terminated; a name
// that fills the field was cut from a longer one and is kept as it is, so that the caller
// can still recognise its printer.
void printer_of(const DEVMODEA *devmode, char *out, size_t size) {
    if (devmode) {
        char name[CCHDEVICENAME + 1];
        memcpy(name, devmode->dmDeviceName, CCHDEVICENAME);
        name[CCHDEVICENAME] = 0;
        bool cut = strlen(name) >= CCHDEVICENAME - 1;
        if (name[0] && (cut || dialog_printer_exists(name))) {
            snprintf(out, size, "%s", name);
            return;
        }
    }
    dialog_default_printer(out, size);
}

// A new DEVNAMES block naming the printer on the spooler's driver. Null when memory is short.
HGLOBAL make_dev_names(const char *printer) {
    static const char DRIVER[] = "WINSPOOL";
    static const char PORT[] = "";
    size_t device_at = sizeof(DEVNAMES) + sizeof DRIVER;
    size_t port_at = device_at + strlen(printer) + 1;
    size_t size = port_at + sizeof PORT;
    if (port_at > 0xFFFF) return nullptr;
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, size);
    char *base = block ? (char *)GlobalLock(block) : nullptr;
    if (!base) {
        if (block) GlobalFree(block);
        return nullptr;
    }
    DEVNAMES *names = (DEVNAMES *)base;
    names->wDriverOffset = (WORD)sizeof(DEVNAMES);
    names->wDeviceOffset = (WORD)device_at;
    names->wOutputOffset = (WORD)port_at;
    names->wDefault = 0;
    memcpy(base + sizeof(DEVNAMES), DRIVER, sizeof DRIVER);
    memcpy(base + device_at, printer, strlen(printer) + 1);
    memcpy(base + port_at, PORT, sizeof PORT);
    GlobalUnlock(block);
    return block;
}

// Replaces the dialog's hDevNames with one for `printer`. False when memory is short.
bool set_dev_names(LPPRINTDLGA dialog, const char *printer) {
    HGLOBAL names = make_dev_names(printer);
    if (!names) return false;
    if (dialog->hDevNames) GlobalFree(dialog->hDevNames);
    dialog->hDevNames = names;
    return true;
}

// The choices the form starts from, read from the device mode.
void choices_from(const DEVMODEA *devmode, const char *printer, PrintChoices *c) {
    memset(c, 0, sizeof *c);
    snprintf(c->printer, sizeof c->printer, "%s", printer);
    c->copies = devmode->dmCopies > 0 ? devmode->dmCopies : 1;
    c->orientation =
        devmode->dmOrientation == DMORIENT_LANDSCAPE ? DMORIENT_LANDSCAPE : DMORIENT_PORTRAIT;
    c->paper = devmode->dmPaperSize;
    c->paper_width = devmode->dmPaperWidth;
    c->paper_length = devmode->dmPaperLength;
    c->collate = devmode->dmCollate == DMCOLLATE_TRUE;
}

// Writes the settings the user changed into the device mode and marks them in dmFields;
// settings the user left alone keep their values and bits.
void apply_choices(const PrintChoices *c, DEVMODEA *devmode) {
    if (c->copies_changed) {
        devmode->dmCopies = (short)c->copies;
        devmode->dmFields |= DM_COPIES;
    }
    if (c->orientation_changed) {
        devmode->dmOrientation = (short)c->orientation;
        devmode->dmFields |= DM_ORIENTATION;
    }
    if (c->paper_changed) {
        devmode->dmPaperSize = (short)c->paper;
        devmode->dmFields |= DM_PAPERSIZE;
        devmode->dmFields &= ~(DWORD)(DM_PAPERWIDTH | DM_PAPERLENGTH | DM_FORMNAME);
    }
    if (c->collate_changed) {
        devmode->dmCollate = c->collate ? DMCOLLATE_TRUE : DMCOLLATE_FALSE;
        devmode->dmFields |= DM_COLLATE;
    }
}

// Makes sure the dialog holds a device mode: the given one, or the default printer's. Result:
// the printer it is for, in `printer`; false when none could be had (error recorded).
bool ensure_devmode(LPPRINTDLGA dialog, char *printer, size_t size) {
    if (dialog->hDevMode) {
        const DEVMODEA *devmode = (const DEVMODEA *)GlobalLock(dialog->hDevMode);
        if (!devmode) {
            last_dialog_error = CDERR_MEMALLOCFAILURE;
            return false;
        }
        printer_of(devmode, printer, size);
        GlobalUnlock(dialog->hDevMode);
        return true;
    }
    dialog_default_printer(printer, size);
    dialog->hDevMode = dialog_default_devmode(printer);
    if (dialog->hDevMode) return true;
    last_dialog_error = PDERR_PRINTERNOTFOUND;
    return false;
}

// OK pressed without changes: the device mode stays as it is; its printer goes to hDevNames.
BOOL accept_unchanged(LPPRINTDLGA dialog) {
    char printer[FORM_PRINTER_SIZE];
    if (!ensure_devmode(dialog, printer, sizeof printer)) return FALSE;
    if (set_dev_names(dialog, printer)) return TRUE;
    last_dialog_error = CDERR_MEMALLOCFAILURE;
    return FALSE;
}

// Takes the form's choices into the dialog's memory. A different printer gets its own
// default device mode, with the settings of the form carried over, in place of the old one.
bool take_choices(LPPRINTDLGA dialog, PrintChoices *c) {
    if (c->printer_changed) {
        HGLOBAL fresh = dialog_default_devmode(c->printer);
        if (!fresh) {
            last_dialog_error = PDERR_PRINTERNOTFOUND;
            return false;
        }
        GlobalFree(dialog->hDevMode);
        dialog->hDevMode = fresh;
        c->copies_changed = c->orientation_changed = c->collate_changed = true;
        c->paper_changed = c->paper != DMPAPER_USER;
    }
    DEVMODEA *devmode = (DEVMODEA *)GlobalLock(dialog->hDevMode);
    if (!devmode) {
        last_dialog_error = CDERR_MEMALLOCFAILURE;
        return false;
    }
    apply_choices(c, devmode);
    GlobalUnlock(dialog->hDevMode);
    if (set_dev_names(dialog, c->printer)) return true;
    last_dialog_error = CDERR_MEMALLOCFAILURE;
    return false;
}

// The form on the terminal. A device mode the dialog made itself is given back on Cancel,
// so the caller's hDevMode is as it was.
BOOL run_on_terminal(LPPRINTDLGA dialog) {
    bool made = dialog->hDevMode == nullptr;
    char printer[FORM_PRINTER_SIZE];
    if (!ensure_devmode(dialog, printer, sizeof printer)) return FALSE;
    PrintChoices choices;
    const DEVMODEA *devmode = (const DEVMODEA *)GlobalLock(dialog->hDevMode);
    if (!devmode) {
        last_dialog_error = CDERR_MEMALLOCFAILURE;
        return FALSE;
    }
    choices_from(devmode, printer, &choices);
    GlobalUnlock(dialog->hDevMode);
    if (print_form_run(&choices, dialog_printer_exists) && take_choices(dialog, &choices))
        return TRUE;
    if (made) {
        GlobalFree(dialog->hDevMode);
        dialog->hDevMode = nullptr;
    }
    return FALSE;
}

// Adds the returned device mode and printer to the trace line.
void trace_result(TraceLine *t, LPPRINTDLGA dialog) {
    if (!t->active) return;
    const DEVMODEA *devmode =
        dialog->hDevMode ? (const DEVMODEA *)GlobalLock(dialog->hDevMode) : nullptr;
    trace_devmode(t, "devmode", devmode);
    if (devmode) GlobalUnlock(dialog->hDevMode);
    // The names are read within the block: a caller's block may be malformed.
    SIZE_T size = dialog->hDevNames ? GlobalSize(dialog->hDevNames) : 0;
    const char *base = size ? (const char *)GlobalLock(dialog->hDevNames) : nullptr;
    WORD at = base && size >= sizeof(DEVNAMES) ? ((const DEVNAMES *)base)->wDeviceOffset : 0;
    if (at >= sizeof(DEVNAMES) && at < size)
        trace_bytes(t, "device", base + at, strnlen(base + at, size - at));
    else
        trace_null(t, "device");
    if (base) GlobalUnlock(dialog->hDevNames);
}

}  // namespace

BOOL WINAPI PrintDlgA(LPPRINTDLGA dialog) {
    TraceLine t;
    trace_begin(&t, "PrintDlgA");
    last_dialog_error = 0;
    if (!dialog || dialog->lStructSize != sizeof(PRINTDLGA)) {
        last_dialog_error = CDERR_STRUCTSIZE;
        return (BOOL)trace_end(&t, FALSE);
    }
    trace_int(&t, "flags", dialog->Flags);
    long long forced;
    if (fault_check("PrintDlgA", &forced)) {
        BOOL ok = forced != 0 && accept_unchanged(dialog);
        trace_result(&t, dialog);
        return (BOOL)trace_fault(&t, ok);
    }
    BOOL ok = FALSE;
    if (!isatty(STDIN_FILENO) || !isatty(STDERR_FILENO)) {
        fputs("Print dialog: not shown, stdin and stderr are not both terminals\n", stderr);
        last_dialog_error = CDERR_DIALOGFAILURE;
    } else {
        ok = run_on_terminal(dialog);
    }
    trace_result(&t, dialog);
    return (BOOL)trace_end(&t, ok);
}

DWORD WINAPI CommDlgExtendedError(void) { return last_dialog_error; }
