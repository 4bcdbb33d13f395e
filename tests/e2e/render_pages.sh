#!/bin/bash
# How the composer lays a report out on pages, seen through the platform call trace: form
# feeds, blank lines, full pages, the status text, the fonts it asks for, the dialog, the
# ruler, a report that cannot be opened, and what it gives back at the end.
set -euo pipefail
source "$PELLMARK_SOURCE_DIR/tests/e2e/lib/common.sh"
source "$PELLMARK_SOURCE_DIR/tests/e2e/lib/render.sh"
e2e_tmpdir
cd "$E2E_TMP"
render_profile

# The document's calls on one line: pages and the lines drawn on them (y and text).
pages() {
    calls StartDocA StartPage EndPage EndDoc TextOutA:y,text | tr '\n' ';' | sed 's/;$//'
}

# Layout cases: report bytes (printf format), expected page calls, note.
while IFS='|' read -r bytes expected note; do
    [[ -z "$bytes" ]] && continue
    # shellcheck disable=SC2059
    printf "$bytes" >r.txt
    render_run -interactive=none -ruler r.txt
    assert_eq "$expected" "$(pages)" "$note"
done <<'ROWS'
|StartDocA;EndDoc|empty file: a document without pages
\f\fabc\n|StartDocA;StartPage;TextOutA y=0 text=abc;EndPage;EndDoc|leading form feeds are skipped
abc\fdef\n|StartDocA;StartPage;TextOutA y=0 text=abc;EndPage;StartPage;TextOutA y=0 text=def;EndPage;EndDoc|text then form feed ends page 1
abc\n\f\f|StartDocA;StartPage;TextOutA y=0 text=abc;EndPage;StartPage;EndPage;EndDoc|FF FF: the second gives an empty page
\n\nabc\n|StartDocA;StartPage;TextOutA y=0 text=;TextOutA y=100 text=;TextOutA y=200 text=abc;EndPage;EndDoc|blank lines take a line each
abc|StartDocA;StartPage;TextOutA y=0 text=abc;EndPage;EndDoc|last line without a line feed
\f|StartDocA;EndDoc|only a form feed: no page
ROWS

# The empty file: the reader's end is logged at once, and no ruler is drawn outside a page.
: >r.txt
render_run -interactive=none -ruler r.txt
assert_eq $'GetLine returned \nGetLine found CTL_EOF' "$(tail -n 2 log.txt)" "empty file: log"
assert_eq "" "$(calls MoveToEx)" "empty file: no closing ruler outside a page"
printf '\f\fabc\n' >r.txt
render_run r.txt
assert_eq 2 "$(grep -c '^Skipping initial FORM_FEED$' log.txt)" "leading form feeds: one log line each"

# A Letter sheet with half-inch margins on PDF60 holds exactly 60 lines of the default font.
letter=(-printer_id=PDF60 -width=8.5i -length=11i -interactive=none)
lines 60 L >r.txt
render_run "${letter[@]}" r.txt
assert_eq "GetDeviceCaps index=10 ret=6000" "$(calls GetDeviceCaps:index,ret | grep index=10)" \
    "60 lines: printable height"
assert_eq "GetTextMetricsA height=100 externalLeading=0" \
    "$(calls GetTextMetricsA:height,externalLeading | tail -n 1)" "60 lines: line height"
assert_eq 1 "$(calls StartPage | wc -l)" "60 lines fit one page"
assert_eq "TextOutA y=5900 text=L60" "$(calls TextOutA:y,text | tail -n 1)" "60 lines: the last"
lines 61 L >r.txt
render_run "${letter[@]}" r.txt
assert_eq "StartPage;StartPage" "$(calls StartPage | tr '\n' ';' | sed 's/;$//')" \
    "61 lines take two pages"
assert_eq "TextOutA y=0 text=L61" "$(calls TextOutA:y,text | tail -n 1)" "61st line on page 2"
{ lines 60 L; printf '\f'; } >r.txt
render_run "${letter[@]}" r.txt
assert_eq "StartPage EndPage StartPage EndPage EndDoc" \
    "$(calls StartPage EndPage EndDoc | tr '\n' ' ' | sed 's/ $//')" \
    "a form feed right after a full page gives an empty page"

# The status text names the file and the page, in the dialog and in the log.
printf 'a\fb\fc\n' >r.txt
render_run r.txt
assert_eq "CreateDialogParamA template=AbrtDlg" "$(calls CreateDialogParamA:template)" "dialog"
assert_eq $'SetDlgItemTextA id=100 text=r.txt (page 1)\nSetDlgItemTextA id=100 text=r.txt (page 2)\nSetDlgItemTextA id=100 text=r.txt (page 3)' \
    "$(calls SetDlgItemTextA:id,text)" "status text per page"
assert_eq "Printing r.txt (page 3)" "$(grep '(page 3)' log.txt)" "status text in the log"
assert_eq "SetAbortProc" "$(calls SetAbortProc)" "abort procedure installed"

# A report name longer than the status text's room is cut to 99 characters, not overrun.
long=$(printf 'n%.0s' {1..120}).txt
printf 'x\n' >"$long"
render_run "$long"
status=$(calls SetDlgItemTextA:text | sed 's/^SetDlgItemTextA text=//')
assert_eq 99 "${#status}" "long name: status text length"
assert_eq "$(printf 'n%.0s' {1..99})" "$status" "long name: status text is the name's head"
assert_eq 1 "$(calls EndDoc:ret | grep -c 'ret=[1-9]')" "long name: printed all the same"

# Without windows: no dialog and no status text, but the abort procedure all the same.
render_run -interactive=none r.txt
assert_eq "" "$(calls CreateDialogParamA SetDlgItemTextA DestroyWindow)" "no windows: no dialog"
assert_eq "SetAbortProc" "$(calls SetAbortProc)" "no windows: abort procedure installed"

# The fonts: height and width from the pitch and the device's resolution, the face from
# -font, weight and underline for normal, bold, underline, bold+underline.
while IFS='|' read -r options expected note; do
    [[ -z "$options" ]] && continue
    printf 'x\n' >r.txt
    # shellcheck disable=SC2086
    render_run -interactive=none $options r.txt
    assert_eq "$expected" "$(calls CreateFontIndirectA:height,width,weight,underline | sort -u |
        tr '\n' ';' | sed 's/;$//')" "$note"
done <<'ROWS'
-printer_id=PDF300 -pitch=10|CreateFontIndirectA height=-42 width=0 weight=400 underline=0;CreateFontIndirectA height=-42 width=0 weight=400 underline=1;CreateFontIndirectA height=-42 width=0 weight=700 underline=0;CreateFontIndirectA height=-42 width=0 weight=700 underline=1|pitch 10 at 300 dpi
-printer_id=PDF -pitch=12|CreateFontIndirectA height=-100 width=0 weight=400 underline=0;CreateFontIndirectA height=-100 width=0 weight=400 underline=1;CreateFontIndirectA height=-100 width=0 weight=700 underline=0;CreateFontIndirectA height=-100 width=0 weight=700 underline=1|pitch 12 at 600 dpi
-printer_id=PDF|CreateFontIndirectA height=100 width=60 weight=400 underline=0;CreateFontIndirectA height=100 width=60 weight=400 underline=1;CreateFontIndirectA height=100 width=60 weight=700 underline=0;CreateFontIndirectA height=100 width=60 weight=700 underline=1|pitch 0: the default font's height and width
ROWS
printf 'x\n' >r.txt
render_run -interactive=none -printer_id=PDF r.txt
face=$(calls GetTextFaceA:face | sed 's/.*face=//')
assert_eq "$face;$face;$face;$face" \
    "$(calls CreateFontIndirectA:faceName | sed 's/.*faceName=//' | tr '\n' ';' | sed 's/;$//')" \
    "no -font: the default font's face"
render_run -interactive=none "-font=Courier New" r.txt
assert_eq "Courier New;Courier New;Courier New;Courier New" \
    "$(calls CreateFontIndirectA:faceName | sed 's/.*faceName=//' | tr '\n' ';' | sed 's/;$//')" \
    "-font names every report font's face"

# What the composer gives back after a printed report: dialog, device context, file, and
# only then the four fonts.
render_run r.txt
assert_eq "EndDoc;DestroyWindow;DeleteDC;_lclose;DeleteObject;DeleteObject;DeleteObject;DeleteObject" \
    "$(calls EndDoc DestroyWindow DeleteDC _lclose DeleteObject | tr '\n' ';' | sed 's/;$//')" \
    "clean-up order"

# A report that cannot be opened: one log line, nothing printed, no message box.
render_run -disposition=scratch missing.txt
assert_eq "lopen(missing.txt) failed because of error 2" "$(head -n 1 log.txt)" "unopenable: log"
assert_eq "" "$(calls CreateDCA StartDocA MessageBoxA _lclose)" "unopenable: nothing else"

# The ruler: ticks every 10 units across the printable width, long ones every 50; at the top
# of the page and below the last line of the last page. PDF254 has a unit of 0.1 mm.
printf 'abc\n' >r.txt
for row in "60m 600" "60.5m 605"; do
    read -r width units <<<"$row"
    render_run -interactive=none -printer_id=PDF254 -width=$width -length=100m -ruler r.txt
    assert_eq "GetDeviceCaps index=8 ret=$units" "$(calls GetDeviceCaps:index,ret | grep 'index=8 ' | head -n 1)" \
        "ruler $width: printable width"
    height=$(calls GetTextMetricsA:height | tail -n 1 | sed 's/.*height=//')
    # One line per tick: "y x length".
    ticks=$(calls MoveToEx:x,y LineTo:x,y | paste -d' ' - - |
        awk '{split($2,a,"=");split($3,b,"=");split($6,c,"="); printf "%s %s %d\n", b[2], a[2], c[2]-b[2]}')
    assert_eq 61 "$(grep -c '^0 ' <<<"$ticks")" "ruler $width: ticks at the top"
    assert_eq 13 "$(grep -c '^0 [0-9]* 20$' <<<"$ticks")" "ruler $width: long ticks at the top"
    assert_eq "0 600 20" "$(grep '^0 ' <<<"$ticks" | tail -n 1)" "ruler $width: the last tick"
    assert_eq 61 "$(grep -c "^$height " <<<"$ticks")" "ruler $width: closing ruler below the line"
    assert_eq 122 "$(grep -c ' 10$\| 20$' <<<"$ticks")" "ruler $width: every tick 10 or 20 long"
done
render_run -interactive=none -printer_id=PDF254 -width=60m -length=100m r.txt
assert_eq "" "$(calls MoveToEx LineTo GetDeviceCaps:index | grep -v 'index=10' || true)" \
    "no ruler option: nothing drawn and no width asked"

e2e_finish
