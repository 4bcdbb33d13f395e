#!/usr/bin/env python3
"""Compares two prints of one report word by word and pixel by pixel.

    bbox_compare.py A.bbox.html B.bbox.html [A-PREFIX B-PREFIX]

A and B are `pdftotext -bbox` output of the two PDFs. The pages must agree in count and size
(to a hundredth of a point) and hold the same words in the same order, each word's box within
a quarter of a character cell of the other's (the cell: the median width of one character).
With A-PREFIX and B-PREFIX, the `pdftoppm -r 50 -gray` pages (PREFIX-N.pgm) must also show
the same ink: every dark pixel of one has a dark pixel of the other within one pixel, but
for at most 1 % of them (lines and underlines included, which the words do not show).
Prints one line per difference (at most 20); nothing when the prints agree.
"""
import html
import re
import statistics
import sys

PAGE = re.compile(r'<page width="([\d.]+)" height="([\d.]+)">')
WORD = re.compile(
    r'<word xMin="([\d.]+)" yMin="([\d.]+)" xMax="([\d.]+)" yMax="([\d.]+)">(.*?)</word>'
)


def pages(path):
    """[(width, height, [(text, xmin, ymin, xmax, ymax)])] of a bbox file."""
    out = []
    for line in open(path, encoding="utf-8"):
        m = PAGE.search(line)
        if m:
            out.append((float(m.group(1)), float(m.group(2)), []))
            continue
        m = WORD.search(line)
        if m and out:
            box = tuple(float(m.group(i)) for i in range(1, 5))
            out[-1][2].append((html.unescape(m.group(5)),) + box)
    return out


def compare_words(a, b, report):
    if len(a) != len(b):
        report(f"pages: expected {len(a)}, got {len(b)}")
    widths = [(w[3] - w[1]) / len(w[0]) for p in a for w in p[2] if w[0]]
    cell = statistics.median(widths) if widths else 1.0
    tolerance = cell / 4
    for n, (pa, pb) in enumerate(zip(a, b), 1):
        if abs(pa[0] - pb[0]) > 0.01 or abs(pa[1] - pb[1]) > 0.01:
            report(f"page {n} size: expected {pa[0]}x{pa[1]}, got {pb[0]}x{pb[1]}")
        if len(pa[2]) != len(pb[2]):
            report(f"page {n} words: expected {len(pa[2])}, got {len(pb[2])}")
        for wa, wb in zip(pa[2], pb[2]):
            if wa[0] != wb[0]:
                report(f"page {n}: expected word {wa[0]!r}, got {wb[0]!r}")
                break
            off = max(abs(x - y) for x, y in zip(wa[1:], wb[1:]))
            if off > tolerance:
                report(f"page {n} {wa[0]!r}: expected box {wa[1:]}, got {wb[1:]} "
                       f"(off {off:.2f} pt, tolerance {tolerance:.2f})")


def read_pgm(path):
    """(width, height, bytes) of a binary PGM."""
    data = open(path, "rb").read()
    fields = []
    pos = 0
    while len(fields) < 4:
        while data[pos:pos + 1].isspace():
            pos += 1
        start = pos
        while not data[pos:pos + 1].isspace():
            pos += 1
        fields.append(data[start:pos])
    return int(fields[1]), int(fields[2]), data[pos + 1:]


def unmatched(a, b):
    """Dark pixels of a with no dark pixel of b within one pixel, and a's dark pixels."""
    w, h, pa = a
    _, _, pb = b
    dark_b = bytearray(1 if v < 128 else 0 for v in pb)
    lost = total = 0
    for y in range(h):
        row = y * w
        for x in range(w):
            if pa[row + x] >= 128:
                continue
            total += 1
            if not any(dark_b[yy * w + xx] for yy in range(max(0, y - 1), min(h, y + 2))
                       for xx in range(max(0, x - 1), min(w, x + 2))):
                lost += 1
    return lost, total


def compare_ink(prefix_a, prefix_b, count, report):
    for n in range(1, count + 1):
        try:
            a = read_pgm(f"{prefix_a}-{n}.pgm")
            b = read_pgm(f"{prefix_b}-{n}.pgm")
        except OSError as e:
            report(f"page {n} image: {e}")
            continue
        if a[:2] != b[:2]:
            report(f"page {n} image size: expected {a[:2]}, got {b[:2]}")
            continue
        for first, second, name in ((a, b, "first"), (b, a, "second")):
            lost, total = unmatched(first, second)
            if total and lost > total / 100:
                report(f"page {n}: {lost} of {total} dark pixels of the {name} print "
                       f"have no match in the other")


def main():
    lines = []

    def report(text):
        if len(lines) < 20:
            lines.append(text)

    a, b = pages(sys.argv[1]), pages(sys.argv[2])
    compare_words(a, b, report)
    if len(sys.argv) > 4:
        compare_ink(sys.argv[3], sys.argv[4], min(len(a), len(b)), report)
    print("\n".join(lines))


if __name__ == "__main__":
    main()
