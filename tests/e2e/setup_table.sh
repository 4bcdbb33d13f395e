#!/bin/bash
# The printer set-up through the real binary, as one table: every row runs pellmark with its
# options, faults and platform, then checks the call trace (the DEVMODE that reaches
# CreateDCA, the calls made), the debug log, the exit status and the files left behind.
set -euo pipefail
export PYTHONPATH="$PELLMARK_SOURCE_DIR/tests/e2e/lib${PYTHONPATH:+:$PYTHONPATH}"
exec python3 - <<'PY'
import shutil
import sys
from setup_run import run, fields, field_names

PROFILE = """[windows]
device=Testpdf,pdf,{dir}/out
[devices]
Testpdf=pdf,{dir}/out
Other=ps,{dir}/out
Odd=epson,LPT1:
Old31=pdf,{dir}/out,version=0x30A
Accounts_department_second_floor_laser=pdf,{dir}/out
"""
LONG_NAME = "Accounts_department_second_floor_laser"  # longer than a DEVMODE's device name

DEFAULT = object()  # "as the driver's own default" in a DEVMODE expectation
OPEN_CAPTION = "Pellmark - Can't Open Printer"


def devmode_at_create(r):
    calls = r.calls("CreateDCA")
    return calls[0].get("devmode") if calls else None


def driver_default(r):
    for c in r.calls("DocumentPropertiesA"):
        if c.get("devmode"):
            return c["devmode"]
    return {}


def check_devmode(r, want):
    """Compares the DEVMODE given to CreateDCA with `want`; returns a list of mismatches."""
    got = devmode_at_create(r)
    if got is None:
        return ["expected a DEVMODE at CreateDCA, got %r" % (r.calls("CreateDCA") or "no call")]
    problems = []
    for key, value in want.items():
        if value is DEFAULT:
            value = driver_default(r).get(key)
        if got.get(key) != value:
            if key == "fields":
                problems.append("fields: expected %s, got %s" % (
                    field_names(value), field_names(got.get(key, 0))))
            else:
                problems.append("%s: expected %r, got %r" % (key, value, got.get(key)))
    return problems


def eq(label, expected, get):
    """A check: `get(run)` must equal `expected`."""
    def check(r):
        got = get(r)
        return [] if got == expected else ["%s: expected %r, got %r" % (label, expected, got)]
    return check


def log_has(text):
    return eq("debug log has %r" % text, True, lambda r: text in r.log)


def count(fn):
    return lambda r: len(r.calls(fn))


def profile_reads(section, key):
    return lambda r: len([c for c in r.calls("GetProfileStringA")
                          if c.get("section", "").lower() == section
                          and (c.get("key") or "").lower() == key])


def message_boxes(r):
    return [(c.get("text"), c.get("caption"), c.get("type")) for c in r.calls("MessageBoxA")]


def allocations_freed(r):
    """Every movable block the run allocated is freed again (the device mode on every path)."""
    live = {c["ret"] for c in r.calls("GlobalAlloc") if c.get("ret")}
    for c in r.calls("GlobalFree"):
        live.discard(c.get("mem"))
    return sorted(live)


ORIENT = fields("ORIENTATION")
STATUS_0 = eq("exit status", 0, lambda r: r.status)
PRINTED_R1 = eq("r1.pdf written", True, lambda r: r.exists("out/r1.pdf"))

# Each row: note, arguments, then optional faults, platform, devmode expectations, checks.
ROWS = [
    # --- the device mode that reaches CreateDCA -------------------------------------------
    dict(note="defaults: only DM_ORIENTATION, portrait, nothing else touched",
         args=["r1.txt"],
         devmode={"fields": ORIENT, "orientation": 1, "copies": DEFAULT,
                  "paperSize": DEFAULT, "deviceName": "Testpdf"},
         checks=[STATUS_0, PRINTED_R1,
                 eq("CreateDCA driver/device/port", [("WINSPOOL", "Testpdf", None)],
                    lambda r: [(c.get("driver"), c.get("device"), c.get("port"))
                               for c in r.calls("CreateDCA")]),
                 eq("blocks left allocated", [], allocations_freed),
                 eq("printer handles closed", 1, count("ClosePrinter"))]),
    dict(note="copies 1 leaves DM_COPIES clear",
         args=["-copies=1", "r1.txt"], devmode={"fields": ORIENT}),
    dict(note="copies 3 sets dmCopies and DM_COPIES",
         args=["-copies=3", "r1.txt"],
         devmode={"fields": fields("ORIENTATION", "COPIES"), "copies": 3}),
    dict(note="copies that is not a number is written as 0 with DM_COPIES",
         args=["-copies=many", "r1.txt"],
         devmode={"fields": fields("ORIENTATION", "COPIES"), "copies": 0}),
    dict(note="copies above the 16-bit field are clamped to 32767, not wrapped",
         args=["-copies=40000", "r1.txt"], devmode={"copies": 32767}),
    dict(note="copies below the 16-bit field are clamped to -32768",
         args=["-copies=-40000", "r1.txt"], devmode={"copies": -32768}),
    dict(note="landscape", args=["-orientation=landscape", "r1.txt"],
         devmode={"fields": ORIENT, "orientation": 2}),
    dict(note="source by name sets dmDefaultSource and its bit",
         args=["-source=manual", "r1.txt"],
         devmode={"fields": fields("ORIENTATION", "DEFAULTSOURCE"), "defaultSource": 4}),
    dict(note="8.5 by 11 in matches Letter, Letter small and Note: the last, Note (18), wins",
         args=["-width=8.5i", "-length=11i", "r1.txt"],
         devmode={"fields": fields("ORIENTATION", "PAPERSIZE"), "paperSize": 18,
                  "paperWidth": 2159, "paperLength": 2794}),
    dict(note="the same sheet given in millimetres ends on Note as well",
         args=["-width=215.9m", "-length=279.4m", "r1.txt"],
         devmode={"fields": fields("ORIENTATION", "PAPERSIZE"), "paperSize": 18}),
    dict(note="210 by 297 mm matches A4 and A4 small: A4 small (10) wins",
         args=["-width=210m", "-length=297m", "r1.txt"],
         devmode={"fields": fields("ORIENTATION", "PAPERSIZE"), "paperSize": 10}),
    dict(note="the Letter sheet turned matches no row: DMPAPER_USER with both dimension bits",
         args=["-width=11i", "-length=8.5i", "r1.txt"],
         devmode={"fields": fields("ORIENTATION", "PAPERSIZE", "PAPERWIDTH", "PAPERLENGTH"),
                  "paperSize": 256, "paperWidth": 2794, "paperLength": 2159}),
    dict(note="width alone: DMPAPER_USER with DM_PAPERWIDTH, no lookup by dimensions",
         args=["-width=8.5i", "r1.txt"],
         devmode={"fields": fields("ORIENTATION", "PAPERSIZE", "PAPERWIDTH"),
                  "paperSize": 256, "paperWidth": 2159}),
    dict(note="a width beyond the 16-bit field is clamped to 32767",
         args=["-width=4000m", "-length=5000m", "r1.txt"],
         devmode={"paperSize": 256, "paperWidth": 32767, "paperLength": 32767}),
    dict(note="form a4 in lower case wins over width and length; the name goes in as spelled",
         args=["-form_id=a4", "-width=8.5i", "-length=11i", "r1.txt"],
         devmode={"fields": fields("ORIENTATION", "PAPERSIZE", "FORMNAME"), "paperSize": 9,
                  "formName": "a4", "paperWidth": 2159, "paperLength": 2794}),
    dict(note="form LETTER in capitals finds Letter (1), not Note",
         args=["-form_id=LETTER", "r1.txt"],
         devmode={"paperSize": 1, "formName": "LETTER"}),
    dict(note="a form only the printer knows: paper size untouched, name still sent",
         args=["-form_id=Invoice 3-part", "r1.txt"],
         devmode={"fields": fields("ORIENTATION", "FORMNAME"), "paperSize": DEFAULT,
                  "formName": "Invoice 3-part"}),
    dict(note="an unknown form with width and length keeps DMPAPER_USER",
         args=["-form_id=Invoice", "-width=8i", "-length=12i", "r1.txt"],
         devmode={"fields": fields("ORIENTATION", "PAPERSIZE", "PAPERWIDTH", "PAPERLENGTH",
                                   "FORMNAME"),
                  "paperSize": 256, "paperWidth": 2032, "paperLength": 3048}),
    dict(note="collate sets dmCollate 1 and DM_COLLATE",
         args=["-collate", "-copies=2", "r1.txt"],
         devmode={"fields": fields("ORIENTATION", "COPIES", "COLLATE"), "collate": 1}),

    dict(note="a printer of the Windows 3.1 layout (0x30A) gets neither form name nor collation",
         args=["-printer_id=Old31", "-form_id=a4", "-collate", "r1.txt"],
         requires=("a profile printer whose device mode reports version 0x30A",
                   lambda r: driver_default(r).get("specVersion") == 0x30A),
         devmode={"fields": fields("ORIENTATION", "PAPERSIZE"), "paperSize": 9,
                  "specVersion": 0x30A, "formName": DEFAULT, "collate": DEFAULT}),

    # --- choosing the printer ---------------------------------------------------------------
    dict(note="a whole profile value in printer_id selects the printer before the first "
              "comma, and the next file reuses the cut name",
         args=["-printer_id=Other,ps,somewhere", "r1.txt", "r2.txt"],
         checks=[eq("OpenPrinterA names", ["Other", "Other"],
                    lambda r: [c.get("name") for c in r.calls("OpenPrinterA")]),
                 eq("CreateDCA devices", ["Other", "Other"],
                    lambda r: [c.get("device") for c in r.calls("CreateDCA")]),
                 eq("default printer reads", 0, profile_reads("windows", "device")),
                 eq("r1.ps written", True, lambda r: r.exists("out/r1.ps"))]),
    dict(note="no printer_id: the default is read once, logged once, cut, and reused",
         args=["r1.txt", "r2.txt"],
         checks=[eq("default printer reads", 1, profile_reads("windows", "device")),
                 eq("NULL printer_id log lines", 1,
                    lambda r: r.log.count("NULL printer_id specified")),
                 log_has("NULL printer_id specified, using default of Testpdf,pdf,"),
                 eq("OpenPrinterA names", ["Testpdf", "Testpdf"],
                    lambda r: [c.get("name") for c in r.calls("OpenPrinterA")]),
                 log_has("CreateDC returned "),
                 eq("r2.pdf written", True, lambda r: r.exists("out/r2.pdf"))]),
    dict(note="leading commas are skipped for the name; printer_id keeps them",
         args=["-printer_id=,,Testpdf,pdf", "r1.txt"],
         checks=[eq("OpenPrinterA names", [",,Testpdf"],
                    lambda r: [c.get("name") for c in r.calls("OpenPrinterA")][:1])]),

    # --- the spooler road's Retry/Cancel loop -------------------------------------------------
    dict(note="OpenPrinterA fails once, Retry: opened on the second try and printed",
         args=["r1.txt"], faults="OpenPrinterA#1=0,MessageBoxA#1=4",
         checks=[STATUS_0, PRINTED_R1,
                 eq("OpenPrinterA calls", 2, count("OpenPrinterA")),
                 eq("message boxes", [("The printer name is invalid.", OPEN_CAPTION, 5)],
                    lambda r: [(t.strip() if t else t, c, ty) for t, c, ty in message_boxes(r)])]),
    dict(note="OpenPrinterA fails, Cancel: exit 0, no disposition, later arguments untouched",
         args=["-disposition=scratch", "r1.txt", "-log={dir}/late.log", "r2.txt"],
         faults="OpenPrinterA#1=0,MessageBoxA#1=2",
         checks=[STATUS_0,
                 eq("OpenPrinterA calls", 1, count("OpenPrinterA")),
                 eq("CreateDCA calls", 0, count("CreateDCA")),
                 eq("reports opened", ["r1.txt"], lambda r: [c.get("path") for c in r.calls("_lopen")]),
                 eq("r1.txt kept", True, lambda r: r.exists("r1.txt")),
                 eq("late log not opened", False, lambda r: r.exists("late.log"))]),
    dict(note="an empty default printer value: OpenPrinterA fails, the box shows the "
              "system's text; without a terminal the box answers Cancel and the run ends",
         args=["r1.txt", "r2.txt"],
         profile="[windows]\ndevice=\n",
         checks=[STATUS_0,
                 eq("OpenPrinterA names", [""],
                    lambda r: [c.get("name") for c in r.calls("OpenPrinterA")]),
                 eq("box caption and style", [(OPEN_CAPTION, 5)],
                    lambda r: [(c, ty) for _, c, ty in message_boxes(r)]),
                 eq("box has a text", True, lambda r: bool(message_boxes(r)[0][0].strip()))]),

    # --- the print dialog and device context failures -----------------------------------------
    dict(note="print dialog cancelled: nothing printed, no DC, memory freed, next file goes on",
         args=["-interactive", "-disposition=scratch", "r1.txt", "r2.txt"],
         faults="PrintDlgA#1=0,PrintDlgA#2=1",
         checks=[STATUS_0,
                 eq("PrintDlgA results", [0, 1], lambda r: [c.get("ret") for c in r.calls("PrintDlgA")]),
                 eq("PrintDlgA flags", 12, lambda r: r.calls("PrintDlgA")[0].get("flags")),
                 eq("CreateDCA devices", ["Testpdf"],
                    lambda r: [c.get("device") for c in r.calls("CreateDCA")]),
                 eq("r1.pdf written", False, lambda r: r.exists("out/r1.pdf")),
                 eq("r2.pdf written", True, lambda r: r.exists("out/r2.pdf")),
                 eq("unprinted r1.txt kept by the disposition", True, lambda r: r.exists("r1.txt")),
                 eq("printed r2.txt deleted by the disposition", False, lambda r: r.exists("r2.txt")),
                 eq("blocks left allocated", [], allocations_freed)]),
    dict(note="print dialog OK unchanged: the edited DEVMODE reaches CreateDCA",
         args=["-interactive", "-copies=2", "r1.txt"], faults="PrintDlgA=1",
         devmode={"fields": fields("ORIENTATION", "COPIES"), "copies": 2},
         checks=[PRINTED_R1, eq("blocks left allocated", [], allocations_freed)]),
    dict(note="print dialog OK on a printer whose name is longer than dmDeviceName: the DC "
              "is still made for that printer",
         args=["-interactive", "-printer_id=" + LONG_NAME, "r1.txt"], faults="PrintDlgA=1",
         checks=[eq("CreateDCA devices", [LONG_NAME],
                    lambda r: [c.get("device") for c in r.calls("CreateDCA")]),
                 PRINTED_R1]),
    dict(note="print dialog without a terminal fails at once and says so; nothing printed",
         args=["-interactive", "r1.txt"],
         checks=[STATUS_0, eq("CreateDCA calls", 0, count("CreateDCA")),
                 eq("stderr names the dialog", True, lambda r: "Print dialog" in r.stderr)]),
    dict(note="CreateDCA fails: logged with 0, nothing printed, the next file still goes",
         args=["r1.txt", "r2.txt"], faults="CreateDCA#1=0",
         checks=[STATUS_0, log_has("CreateDC returned 0 given a DevMode = "),
                 eq("StartDocA calls", 1, count("StartDocA")),
                 eq("r1.pdf written", False, lambda r: r.exists("out/r1.pdf")),
                 eq("r2.pdf written", True, lambda r: r.exists("out/r2.pdf"))]),

    # --- the Win32s road ----------------------------------------------------------------------
    dict(note="Win32s: devices entry split, pdf.drv loaded, ExtDeviceMode twice, driver freed",
         args=["-printer_id=Testpdf", "-copies=2", "r1.txt"], platform=0,
         devmode={"fields": fields("ORIENTATION", "COPIES"), "copies": 2},
         checks=[STATUS_0, PRINTED_R1,
                 log_has("Running under Win32s - printer = Testpdf, driver = pdf, port = "),
                 log_has("Tried to load pdf.drv - got hDriver = "),
                 eq("OpenPrinterA calls", 0, count("OpenPrinterA")),
                 eq("LoadLibraryA files", ["pdf.drv"],
                    lambda r: [c.get("file") for c in r.calls("LoadLibraryA")]),
                 eq("FreeLibrary calls", 1, count("FreeLibrary")),
                 eq("CreateDCA driver and device", [("pdf", "Testpdf")],
                    lambda r: [(c.get("driver"), c.get("device")) for c in r.calls("CreateDCA")])]),
    dict(note="Win32s: a printer without a devices entry ends the run in a box, status 0",
         args=["-disposition=scratch", "-printer_id=Nowhere", "r1.txt", "r2.txt"], platform=0,
         checks=[STATUS_0,
                 eq("message boxes", [("Cannot Find Requested Printer (Nowhere)", OPEN_CAPTION, 0)],
                    message_boxes),
                 eq("reports opened", 1, count("_lopen")),
                 eq("r1.txt kept", True, lambda r: r.exists("r1.txt"))]),
    dict(note="Win32s: printer_id of commas only names no printer and takes the same path",
         args=["-printer_id=,,,", "r1.txt"], platform=0,
         checks=[STATUS_0,
                 eq("message boxes", [("Cannot Find Requested Printer ()", OPEN_CAPTION, 0)],
                    message_boxes),
                 eq("devices reads", 0, lambda r: len([c for c in r.calls("GetProfileStringA")
                                                       if c.get("section") == "devices"]))]),
    dict(note="Win32s: a driver file that does not load gives no device mode and logs 0s",
         args=["-printer_id=Odd", "-copies=2", "r1.txt"], platform=0,
         checks=[STATUS_0,
                 log_has("Running under Win32s - printer = Odd, driver = epson, port = LPT1:"),
                 log_has("Tried to load epson.drv - got hDriver = 0, ExtDeviceModeFn = 0\n"),
                 eq("CreateDCA calls", [("epson", "Odd", "LPT1:", None)],
                    lambda r: [(c.get("driver"), c.get("device"), c.get("port"), c.get("devmode"))
                               for c in r.calls("CreateDCA")]),
                 log_has("given a DevMode = 0\n")]),
    dict(note="Win32s: a 99-character printer name is cut in the 80-byte message text",
         args=["-printer_id=" + "P" * 99, "r1.txt"], platform=0,
         checks=[STATUS_0,
                 eq("message text", ["Cannot Find Requested Printer (" + "P" * 48],
                    lambda r: [t for t, _, _ in message_boxes(r)])]),
]


def run_row(row):
    r = run(row["args"], row.get("profile", PROFILE), faults=row.get("faults"),
            platform=row.get("platform"))
    # Every run ends with status 0, whatever happened to its reports (a sanitizer report
    # would change it).
    problems = [] if r.status == 0 else ["exit status: expected 0, got %d" % r.status]
    if "devmode" in row:
        problems += check_devmode(r, row["devmode"])
    for check in row.get("checks", []):
        try:
            problems += check(r)
        except Exception as error:  # a missing call or key shows as a failed check
            problems.append("check raised %r" % error)
    return r, problems


failed = 0
for number, row in enumerate(ROWS, 1):
    r, problems = run_row(row)
    if "requires" in row and not row["requires"][1](r):
        # Shown, not hidden: the row waits for the printer it needs.
        print("SKIP row %d: %s (needs %s)" % (number, row["note"], row["requires"][0]))
        continue
    if problems:
        failed += 1
        print("FAIL row %d: %s" % (number, row["note"]))
        print("  row: %r" % {k: v for k, v in row.items() if k not in ("checks", "requires")})
        for p in problems:
            print("  " + p)
        print("  folder: %s\n  stderr: %s" % (r.folder, r.stderr.strip()[:400]))
    else:
        print("ok   row %d: %s" % (number, row["note"]))
        shutil.rmtree(r.folder, ignore_errors=True)
print("%d of %d rows failed" % (failed, len(ROWS)))
sys.exit(1 if failed else 0)
PY
