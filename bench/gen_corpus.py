#!/usr/bin/env python3
"""Writes a deterministic line-printer report for the benchmark.

    gen_corpus.py LINES OUTPUT

Every line holds 132 columns and ends in CR LF; a form feed follows every 60th line; every
tenth line is overstruck the typewriter way: columns 1-30 bold (c BS c) and columns 61-90
underlined (c BS _). The same LINES always give the same bytes: 100000 lines make about
15 MB, 1000000 lines about 146 MB.
"""
import sys

WIDTH = 132
PAGE_LINES = 60
WORDS = [b"INVOICE", b"CUSTOMER", b"BALANCE", b"FREIGHT", b"WAREHOUSE", b"ORDER", b"PAYMENT",
         b"CREDIT", b"DEBIT", b"STOCK", b"ACCOUNT", b"LEDGER", b"TOTAL", b"REGION", b"BRANCH"]


def body(n):
    """The 132 columns of line n, from a small linear congruential generator seeded by n."""
    state = (n * 2654435761 + 12345) & 0xFFFFFFFF
    parts = [b"%08d " % n]
    while sum(len(p) for p in parts) < WIDTH:
        state = (state * 1103515245 + 12345) & 0x7FFFFFFF
        word = WORDS[state % len(WORDS)]
        amount = b"%9d.%02d " % (state % 1000000, state % 100)
        parts.append(word + b" " + amount)
    return b"".join(parts)[:WIDTH]


def overstrike(text):
    """Columns 1-30 bold, 61-90 underlined, the rest as it is."""
    out = bytearray()
    for col, byte in enumerate(text):
        ch = bytes((byte,))
        if col < 30:
            out += ch + b"\b" + ch
        elif 60 <= col < 90:
            out += ch + b"\b_"
        else:
            out += ch
    return bytes(out)


def main():
    if len(sys.argv) != 3:
        sys.exit("usage: gen_corpus.py LINES OUTPUT")
    lines = int(sys.argv[1])
    with open(sys.argv[2], "wb") as out:
        chunk = []
        for n in range(1, lines + 1):
            text = body(n)
            if n % 10 == 0:
                text = overstrike(text)
            chunk.append(text + b"\r\n")
            if n % PAGE_LINES == 0:
                chunk.append(b"\f")
            if len(chunk) >= 4096:
                out.write(b"".join(chunk))
                chunk = []
        out.write(b"".join(chunk))


if __name__ == "__main__":
    main()
