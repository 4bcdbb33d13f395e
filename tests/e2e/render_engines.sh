#!/bin/bash
# The direct PDF writer against the cairo path: the same reports printed both ways must give
# the same pages (count and size), the same words at the same places (pdftotext -bbox, within
# a quarter of a character cell) and the same ink (underlines and ruler lines included) on
# pages rendered at 50 dpi. Also: which path a printer takes, and the cairo fallback for a
# document whose face cannot be embedded.
set -euo pipefail
source "$PELLMARK_SOURCE_DIR/tests/e2e/lib/common.sh"
source "$PELLMARK_SOURCE_DIR/tests/e2e/lib/render.sh"
e2e_tmpdir
cd "$E2E_TMP"
render_profile
mkdir -p cairo
printf 'PDFC=pdf,%s/cairo,engine=cairo\n' "$E2E_TMP" >>profile.ini
compare=$PELLMARK_SOURCE_DIR/tests/e2e/lib/bbox_compare.py
cp "$PELLMARK_SOURCE_DIR/samples/invoice.txt" invoice.txt
cp "$PELLMARK_SOURCE_DIR/samples/listing132.txt" listing.txt

# A fixture with every kind of drawing: overstruck bold and underline, bold underline, a
# ruler, two pages split by a form feed, text in the last columns.
{
    printf 'Quarterly figures                                   page one\r\n'
    printf '\r\n'
    printf 'B\bBo\bol\bld\bd heading and u\b_n\b_d\b_e\b_r\b_l\b_i\b_n\b_e\b_d\b_ words\r\n'
    printf 'B\bB\b_o\bo\b_t\bt\b_h\bh\b_ at once, then plain (parens) \\ back\r\n'
    for i in $(seq 1 20); do printf 'row %02d %8d.%02d  %-20s|\r\n' "$i" $((i * 137)) $((i % 100)) "item $i"; done
    printf '\f'
    printf 'Second page, columns to the right edge:%*s\r\n' 60 'edge'
    printf 'Caf\xe9 \xb7 \x80 12\r\n'
} >fixture.txt

# Prints REPORT with OPTIONS on PDF (direct) and PDFC (cairo) and compares the two.
# Sets PDF_DIRECT and PDF_CAIRO to the outputs.
both_ways() {
    local note=$1 report=$2 base
    shift 2
    base=${report%.txt}
    render_run -interactive=none -printer_id=PDF "$@" "$report"
    assert_eq 0 "$E2E_STATUS" "$note: direct exit status"
    render_run -interactive=none -printer_id=PDFC "$@" "$report"
    assert_eq 0 "$E2E_STATUS" "$note: cairo exit status"
    PDF_DIRECT=out/$base.pdf PDF_CAIRO=cairo/$base.pdf
    assert_not_contains "$(pdfinfo "$PDF_DIRECT")" "cairo" "$note: the PDF printer writes directly"
    assert_contains "$(pdfinfo "$PDF_CAIRO")" "cairo" "$note: engine=cairo draws with cairo"
    pdftotext -bbox "$PDF_DIRECT" direct.html
    pdftotext -bbox "$PDF_CAIRO" cairo.html
    rm -f direct-*.pgm cairo-*.pgm
    pdftoppm -r 50 -gray "$PDF_DIRECT" direct
    pdftoppm -r 50 -gray "$PDF_CAIRO" cairo
    assert_eq "" "$(python3 "$compare" direct.html cairo.html direct cairo)" \
        "$note: same pages, words and ink both ways"
}

# note | report | options
while IFS='|' read -r note report options; do
    # shellcheck disable=SC2086
    both_ways "$note" "$report" $options
done <<'CASES'
invoice sample: bold, underline, accents|invoice.txt|
132-column listing, landscape at 9 points|listing.txt|-orientation=landscape -pitch=9
fixture with a ruler, landscape, two pages|fixture.txt|-ruler -orientation=landscape
fixture in a proportional face (glyph by glyph)|fixture.txt|-font=Arial
CASES

# The bold runs of the direct print use a bold face; the overstrikes came out as runs.
both_ways "fixture portrait with a ruler" fixture.txt -ruler
fonts=$(pdffonts "$PDF_DIRECT" | tail -n +3 | awk '{print $1}' | sed 's/^[A-Z]*+//' | sort -u)
assert_eq "LiberationMono LiberationMono-Bold" "$(echo $fonts)" "direct: regular and bold faces"
assert_not_contains "$(pdffonts "$PDF_DIRECT")" " no " "direct: fonts embedded with Unicode maps"
assert_contains "$(pdftotext "$PDF_DIRECT" -)" "Bold heading and underlined words" "direct: overstrikes"

# PELLMARK_PDF_ENGINE=cairo takes every printer of the run to cairo.
PELLMARK_PDF_ENGINE=cairo render_run -interactive=none -printer_id=PDF fixture.txt
assert_contains "$(pdfinfo out/fixture.pdf)" "cairo" "PELLMARK_PDF_ENGINE=cairo: drawn with cairo"

# A document whose face is not TrueType (CFF) is drawn with cairo from start to end.
if fc-list :fontformat=CFF family | grep -q 'Nimbus Mono PS'; then
    render_run -interactive=none -printer_id=PDF '-font=Nimbus Mono PS' fixture.txt
    assert_eq 0 "$E2E_STATUS" "CFF face: exit status"
    assert_contains "$(pdfinfo out/fixture.pdf)" "cairo" "CFF face: the document goes to cairo"
    assert_contains "$(pdftotext out/fixture.pdf -)" "Second page, columns" "CFF face: text"
fi

e2e_finish
