#!/usr/bin/env python3
"""Checks that a PDF page shows a report's text on the character grid.

    grid_check.py PAGE.bbox.html REPORT [CODEPAGE]

PAGE.bbox.html is `pdftotext -bbox -f N -l N` output for one page; REPORT the report's page
as bytes (overstrike allowed, CR ignored; CODEPAGE defaults to cp1252). Every word of the
report must appear in the PDF at its own line and column: column = (xMin - x0) / char width
and line = (yMin - y0) / line height, with the grid's origin and pitch taken from the words
themselves. Prints one line per difference; nothing when the page matches.
"""
import html
import re
import sys


def decode(line):
    """The printed characters of one report line (backspace sequences resolved)."""
    out = []
    i = 0
    while i < len(line):
        c = line[i]
        if c != "\b":
            out.append(c)
            i += 1
            continue
        i += 1
        d = line[i] if i < len(line) else ""
        if d == "_" or (out and out[-1] == d):
            i += 1
        elif d in ("m", "w"):
            out.append("\u00b7")
            i += 1
    return "".join(out)


def report_words(path, codepage):
    text = open(path, "rb").read().decode(codepage).replace("\r", "")
    words = set()
    for row, line in enumerate(text.split("\n")):
        for m in re.finditer(r"\S+", decode(line)):
            words.add((row, m.start(), m.group()))
    return words


def pdf_words(path):
    found = []
    pattern = re.compile(
        r'<word xMin="([\d.]+)" yMin="([\d.]+)" xMax="([\d.]+)" yMax="([\d.]+)">(.*?)</word>')
    for m in pattern.finditer(open(path, encoding="utf-8").read()):
        x0, y0, x1, _ = (float(v) for v in m.groups()[:4])
        word = html.unescape(m.group(5))
        found.append((x0, y0, (x1 - x0) / len(word), word))
    return found


def main():
    codepage = sys.argv[3] if len(sys.argv) > 3 else "cp1252"
    expected = report_words(sys.argv[2], codepage)
    found = pdf_words(sys.argv[1])
    if not found:
        print("no words on the page")
        return
    width = sorted(w for _, _, w, _ in found)[len(found) // 2]
    left = min(x for x, _, _, _ in found)
    tops = sorted({round(y, 1) for _, y, _, _ in found})
    pitch = min(b - a for a, b in zip(tops, tops[1:])) if len(tops) > 1 else 1.0
    got = set()
    for x, y, _, word in found:
        got.add((round((y - tops[0]) / pitch), round((x - left) / width), word))
    # A report line may start below the first line that holds text (blank lines at the top).
    first_row = min(r for r, _, _ in expected)
    got = {(r + first_row, c, w) for r, c, w in got}
    for row, col, word in sorted(expected - got):
        print(f"missing: line {row} column {col} {word!r}")
    for row, col, word in sorted(got - expected):
        print(f"unexpected: line {row} column {col} {word!r}")


main()
