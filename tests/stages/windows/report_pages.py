#!/usr/bin/env python3
"""Compares what the debug log announces with what was printed.

    report_pages.py LOG TEXT ENCODING

LOG is the program's debug log; TEXT is `pdftotext -layout` of the printed document (pages
separated by form feeds); ENCODING is the code page of the report's bytes as the log shows
them (cp1252 for ANSI reports, cp437 for OEM reports printed with -ansi).

The log names each page ("Printing NAME (page N)") and each line ("GetLine returned TEXT"); a
line belongs to the page that is open when it is drawn. Overstrike is decoded as the printer
shows it (as the program decodes it). Lines are compared by their letters and digits
only: spacing, ruler-free punctuation and box drawing depend on the font and on the ANSI/OEM
translation, the words do not.

Prints one line per difference and a summary; exit status 0 when pages and lines agree.
"""
import re
import sys
import unicodedata

PAGE = re.compile(rb"^Printing (.*) \(page (\d+)\)$")
LINE = re.compile(rb"^GetLine returned (.*)$")


def decode_overstrike(raw):
    """The characters the printer shows: BS "_" underlines and BS c after c emboldens the
    character before (no new character); BS "m" or BS "w" is a middle dot; any other BS is
    dropped."""
    out = bytearray()
    i = 0
    while i < len(raw):
        if raw[i] != 8:
            out.append(raw[i])
            i += 1
            continue
        i += 1
        d = raw[i] if i < len(raw) else 0
        if d == ord("_") or (out and out[-1] == d):
            i += 1
        elif d in (ord("m"), ord("w")):
            out.append(0xB7)
            i += 1
    return bytes(out)


def words(text):
    """Letters and digits only, accents kept, case kept."""
    text = unicodedata.normalize("NFC", text)
    return "".join(ch for ch in text if ch.isalnum())


def log_pages(path, encoding):
    """Pages as lists of compared lines, from the debug log."""
    pages = []
    pending = None
    with open(path, "rb") as log:
        for raw in log.read().split(b"\n"):
            raw = raw.rstrip(b"\r")
            line = LINE.match(raw)
            if line:
                if pending is not None and pages:
                    pages[-1].append(pending)
                pending = words(decode_overstrike(line.group(1)).decode(encoding, "replace"))
                continue
            if raw == b"GetLine found CTL_EOF" or raw == b"Skipping initial FORM_FEED":
                pending = None
                continue
            page = PAGE.match(raw)
            if page:
                pages.append([])
    if pending is not None and pages:
        pages[-1].append(pending)
    return [[line for line in page if line] for page in pages]


def printed_pages(path):
    with open(path, encoding="utf-8", errors="replace") as text:
        pages = text.read().split("\f")
    if pages and not pages[-1].strip():
        pages.pop()
    return [[w for w in (words(line) for line in page.split("\n")) if w] for page in pages]


def main():
    log, text, encoding = sys.argv[1:4]
    announced = log_pages(log, encoding)
    printed = printed_pages(text)
    faults = 0
    if len(announced) != len(printed):
        print(f"pages: expected {len(announced)} (debug log), got {len(printed)} (printed)")
        faults += 1
    for number, (want, got) in enumerate(zip(announced, printed), start=1):
        if want != got:
            faults += 1
            print(f"page {number}: expected {len(want)} lines, got {len(got)}")
            for index in range(max(len(want), len(got))):
                w = want[index] if index < len(want) else "(none)"
                g = got[index] if index < len(got) else "(none)"
                if w != g:
                    print(f"  line {index + 1}: expected {w!r}, got {g!r}")
                    break
    lines = sum(len(page) for page in announced)
    print(f"{len(announced)} pages, {lines} lines announced; {len(printed)} pages printed")
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main())
