#!/bin/bash
# Raw printing and character-set translation through the binary: -raw on a printer that
# cannot take raw bytes (cleared for later files), -raw on a raw line printer (the report's
# bytes reach the output unchanged), and -oem / -ansi.
set -euo pipefail
source "$PELLMARK_SOURCE_DIR/tests/e2e/lib/common.sh"
source "$PELLMARK_SOURCE_DIR/tests/e2e/lib/render.sh"
e2e_tmpdir
cd "$E2E_TMP"
render_profile

# -raw on the PDF printer: asked once, refused, printed as text; the next file is text too
# without asking again; a later -raw on the line printer passes bytes through.
printf 'first\n' >a.txt
printf 'second\n' >b.txt
printf 'third\n' >c.txt
render_run -interactive=none -raw a.txt b.txt -printer_id=LP -raw c.txt
assert_eq 1 "$(grep -c '^PASSTHROUGH not supported, ignoring -raw flag$' log.txt)" \
    "no PASSTHROUGH: logged once"
assert_eq "Escape escape=8 count=4 in=13000000 ret=0;TextOutA text=first;TextOutA text=second;Escape escape=8 count=4 in=13000000 ret=1;Escape escape=19 count=8 in=060074686972640a ret=6" \
    "$(calls Escape:escape,count,in,ret TextOutA:text | tr '\n' ';' | sed 's/;$//')" \
    "no PASSTHROUGH: text for this and the next file; a later -raw passes through"
assert_files_in out "a.pdf b.pdf lp.prn" "outputs"
assert_file_eq out/lp.prn $'third\n\f' "raw line printer output"

# A raw report with printer escape codes reaches the line printer exactly: LF line ends
# and a final form feed give the same bytes back (the page's end is a form feed).
cp "$PELLMARK_SOURCE_DIR/samples/manifest.pcl.txt" m.txt
rm -f out/lp.prn
render_run -interactive=none -printer_id=LP -raw m.txt
if cmp -s m.txt out/lp.prn; then e2e_pass; else
    e2e_fail "raw sample: bytes unchanged" "$(od -c m.txt | head -3)" "$(od -c out/lp.prn | head -3)"
fi
assert_eq "" "$(calls TextOutA SelectObject:obj CharToOemA | grep -v 'SelectObject' || true)" \
    "raw: no text drawn, nothing translated"

# Raw with -oem: the bytes go out untranslated.
printf 'caf\xe9\n\f' >e.txt
rm -f out/lp.prn
render_run -interactive=none -printer_id=LP -raw -oem e.txt
assert_file_eq out/lp.prn $'caf\xe9\n\f' "raw -oem: untranslated"

# Translation: -oem turns Windows-1252 into code page 437 (e-acute 0xE9 -> 0x82), -ansi the
# other way (o-umlaut 0x94 -> 0xF6); with both, only -oem applies. The tail of the line from
# each run on is translated.
printf 'caf\xe9 b\bb\xe9\n' >ansi.txt
printf 'K\x94ln\n' >oem.txt
while IFS='|' read -r options file expected note; do
    [[ -z "$options" ]] && continue
    # shellcheck disable=SC2086
    render_run -interactive=none $options $file
    assert_eq "$expected" "$(calls CharToOemA:text OemToCharA:text TextOutA:text |
        tr '\n' ';' | sed 's/;$//')" "$note"
done <<'ROWS'
-oem|ansi.txt|CharToOemA text=caf\u00e9 b\u00e9;TextOutA text=caf\u0082 ;CharToOemA text=b\u00e9;TextOutA text=b;CharToOemA text=\u00e9;TextOutA text=\u0082|-oem: ANSI to OEM, tail by tail
-ansi|oem.txt|OemToCharA text=K\u0094ln;TextOutA text=K\u00f6ln|-ansi: OEM to ANSI
-oem -ansi|ansi.txt|CharToOemA text=caf\u00e9 b\u00e9;TextOutA text=caf\u0082 ;CharToOemA text=b\u00e9;TextOutA text=b;CharToOemA text=\u00e9;TextOutA text=\u0082|both: only ANSI to OEM
-printer_id=PDF|ansi.txt|TextOutA text=caf\u00e9 ;TextOutA text=b;TextOutA text=\u00e9|neither: no translation
ROWS

# The code page 437 sample read with -ansi prints its accents right.
cp "$PELLMARK_SOURCE_DIR/samples/stock437.txt" s.txt
render_run -interactive=none -ansi s.txt
assert_contains "$(pdftotext -layout out/s.pdf - 2>&1)" "Köln-Süd" "cp437 sample with -ansi"

e2e_finish
