#!/bin/bash
# Every refusal of the spooler while a report prints: the message box, the log line, the
# calls up to the clean-up (no EndDoc after a failure), no partial output, the report kept
# in spite of SCRATCH, and the next report printed as usual.
set -euo pipefail
source "$PELLMARK_SOURCE_DIR/tests/e2e/lib/common.sh"
source "$PELLMARK_SOURCE_DIR/tests/e2e/lib/render.sh"
e2e_tmpdir
cd "$E2E_TMP"
render_profile

# knob | report bytes | message box text | composer's log line ("-": none) | spooler calls
while IFS='|' read -r knob bytes message logline expected; do
    [[ -z "$knob" ]] && continue
    note="$knob"
    rm -rf out && mkdir out
    # shellcheck disable=SC2059
    printf "$bytes" >r.txt
    PELLMARK_FAULTS=$knob render_run -interactive=none -disposition=scratch r.txt
    assert_eq 0 "$E2E_STATUS" "$note: exit status"
    assert_eq "MessageBoxA text=$message" "$(calls MessageBoxA:text)" "$note: message box"
    assert_contains "$E2E_STDERR" "$message" "$note: the message reaches the user"
    got_log=$(grep -- '- exiting$' log.txt || echo -)
    assert_eq "$logline" "$got_log" "$note: log line"
    assert_eq "$expected" "$(calls StartDocA:ret StartPage:ret EndPage:ret EndDoc:ret DeleteDC \
        _lclose | tr '\n' ';' | sed 's/;$//')" "$note: calls"
    assert_file r.txt "$note: SCRATCH keeps the report"
    assert_contains "$(cat log.txt)" "Keeping r.txt: it was not printed" "$note: says why"
    assert_files_in out "" "$note: no partial output"
done <<'ROWS'
StartDocA=-1|abc\n|StartDoc returned -1 (Unknown general error).|-|StartDocA ret=-1;DeleteDC;_lclose
StartPage#1=-4|abc\n|StartPage returned -4 (Out of disk).|StartPage failed - exiting|StartDocA ret=1;StartPage ret=-4;DeleteDC;_lclose
EndPage#1=-5|a\fb\n|EndPage returned -5 (Out of memory).|EndPage failed - exiting|StartDocA ret=1;StartPage ret=1;EndPage ret=-5;DeleteDC;_lclose
EndPage#2=-1|a\fb\n|EndPage returned -1 (Unknown general error).|EndPage (2) failed - exiting|StartDocA ret=1;StartPage ret=1;EndPage ret=1;StartPage ret=1;EndPage ret=-1;DeleteDC;_lclose
EndPage#1=-3|abc\n|EndPage returned -3 (User Abort by Print Manager).|EndPage (2) failed - exiting|StartDocA ret=1;StartPage ret=1;EndPage ret=-3;DeleteDC;_lclose
EndDoc=-1|abc\n|EndDoc returned -1 (Unknown general error).|-|StartDocA ret=1;StartPage ret=1;EndPage ret=1;EndDoc ret=-1;DeleteDC;_lclose
ROWS

# A failure gives up that report only: the next one on the command line prints, and with
# SCRATCH it is deleted.
rm -rf out && mkdir out
printf 'abc\n' >r.txt
printf 'next\n' >next.txt
PELLMARK_FAULTS=StartPage#1=-1 render_run -interactive=none -disposition=scratch r.txt next.txt
assert_files_in out "next.pdf" "the next report prints"
assert_file r.txt "the failed report is kept"
assert_no_file next.txt "the printed report is deleted"

e2e_finish
