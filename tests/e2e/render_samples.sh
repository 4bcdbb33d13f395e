#!/bin/bash
# The sample reports printed to PDF and read back with poppler's tools: the words stand on the
# character grid, bold runs use a bold face, the pages come out as the form feeds and the
# page size say, and the landscape listing keeps its 132 columns.
set -euo pipefail
source "$PELLMARK_SOURCE_DIR/tests/e2e/lib/common.sh"
source "$PELLMARK_SOURCE_DIR/tests/e2e/lib/render.sh"
e2e_tmpdir
cd "$E2E_TMP"
render_profile
samples=$PELLMARK_SOURCE_DIR/samples
grid=$PELLMARK_SOURCE_DIR/tests/e2e/lib/grid_check.py

# The invoice: overstruck bold and underlined headings, Windows-1252 accents, one page.
cp "$samples/invoice.txt" invoice.txt
render_run -interactive=none invoice.txt
assert_eq 0 "$E2E_STATUS" "invoice: exit status"
assert_eq 1 "$(pdfinfo out/invoice.pdf | awk '/^Pages:/{print $2}')" "invoice: pages"
pdftotext -bbox out/invoice.pdf invoice.html
assert_eq "" "$(python3 "$grid" invoice.html invoice.txt)" "invoice: every word on its grid place"
text=$(pdftotext -layout out/invoice.pdf -)
assert_contains "$text" "Café Zoë Øresund ApS" "invoice: accents"
assert_contains "$text" "Crème brûlée ramekins (set/6)" "invoice: accents in the items"
assert_contains "$text" "L-2440 Luxembourg" "invoice: middle dot line"
fonts=$(pdffonts out/invoice.pdf | tail -n +3 | awk '{print $1}' | sed 's/^[A-Z]*+//' | sort -u)
assert_contains "$fonts" "Bold" "invoice: a bold face for the bold runs"
# Underlined and bold+underlined headings draw underline strokes: the underline fonts are
# selected for exactly the runs that carry them.
assert_eq "2" "$(calls SelectObject:obj TextOutA:text | grep -A1 "obj=$(calls CreateFontIndirectA:ret |
    sed -n 4p | sed 's/.*ret=//')$" | grep -c '^TextOutA text=\(Item\|Description\)$')" \
    "invoice: bold+underline font for the bold underlined headings"

# The 132-column listing in landscape at 9 points: three pages split by its form feeds, each
# line whole.
cp "$samples/listing132.txt" listing.txt
render_run -interactive=none -orientation=landscape -pitch=9 listing.txt
assert_eq 3 "$(pdfinfo out/listing.pdf | awk '/^Pages:/{print $2}')" "listing: pages"
pdftotext -bbox -f 2 -l 2 out/listing.pdf listing.html
awk 'BEGIN{RS="\f"} NR==2' listing.txt >page2.txt
assert_eq "" "$(python3 "$grid" listing.html page2.txt)" "listing: page 2 on the grid"
assert_contains "$(pdftotext -layout -f 3 -l 3 out/listing.pdf - | head -n 1)" "PAGE       3" \
    "listing: the 132nd column is on the page"
assert_not_contains "$(pdffonts out/listing.pdf)" "Bold" "listing: no bold face without bold runs"

# The code page 437 report with -ansi: umlauts and the degree sign come out right.
cp "$samples/stock437.txt" stock.txt
render_run -interactive=none -ansi stock.txt
text=$(pdftotext -layout out/stock.pdf -)
assert_contains "$text" "Köln-Süd" "cp437 with -ansi: umlauts"
assert_contains "$text" "Weißwein Riesling" "cp437 with -ansi: sharp s"
assert_contains "$text" "4 °C ± 1 °C" "cp437 with -ansi: signs"

e2e_finish
