#!/bin/bash
# Bad input through the real binary: reports that cannot be read or are not text, option
# values far beyond every field, configuration files that include themselves, a log in a
# missing folder. Every run ends with exit status 0 within the time limit, says what happened
# in the log or on stderr, and the reports named after the bad one still print.
set -euo pipefail
source "$PELLMARK_SOURCE_DIR/tests/e2e/lib/common.sh"
e2e_tmpdir
cd "$E2E_TMP"
unset PELLMARK_DEBUG PELLMARK_TRACE PELLMARK_FAULTS
mkdir out
printf '[devices]\nTestpdf=pdf,%s/out\n' "$E2E_TMP" >profile.ini
export PELLMARK_PROFILE="$E2E_TMP/profile.ini"

# run_bounded ARGS: the binary under a time limit; a hang shows as status 124.
run_bounded() { e2e_run_with timeout 60 "$PELLMARK" "$@"; }
e2e_run_with() {
    local out err
    out=$(mktemp) err=$(mktemp)
    set +e
    "$@" </dev/null >"$out" 2>"$err"
    E2E_STATUS=$?
    set -e
    E2E_STDOUT=$(cat "$out")
    E2E_STDERR=$(cat "$err")
    rm -f "$out" "$err"
}

printf 'after\n' >after.txt
mkdir a_folder
head -c 65536 "$PELLMARK" >binary.dat
printf 'ab\0cd\n\0\0\nxyz\n' >nul.txt

# Reports that cannot be opened: the log names each with its error (2 not found, 5 access
# denied), SCRATCH keeps them, and the next report prints.
# name | log line
while IFS='|' read -r name logline; do
    [[ -z "$name" ]] && continue
    rm -f out/* log.txt
    run_bounded -interactive=none -printer_id=Testpdf -log=log.txt -disposition=scratch \
        "$name" -disposition=save after.txt
    assert_eq 0 "$E2E_STATUS" "$name: exit status"
    assert_file_contains log.txt "$logline" "$name: log line"
    assert_file_contains log.txt "Keeping $name: it was not printed" "$name: kept"
    assert_files_in out "after.pdf" "$name: nothing printed for it, the next report prints"
done <<'ROWS'
missing.txt|lopen(missing.txt) failed because of error 2
a_folder|lopen(a_folder) failed because of error 5
ROWS
assert_file a_folder "a folder named as a report is left alone"

# A file without read permission. Root reads it anyway, so the run drops to nobody.
touch no_read.txt
chmod 000 no_read.txt
runner=()
if [[ $(id -u) -eq 0 ]]; then
    if command -v setpriv >/dev/null && setpriv --reuid=65534 --regid=65534 --clear-groups \
        test -x "$PELLMARK"; then
        runner=(setpriv --reuid=65534 --regid=65534 --clear-groups)
        chmod 0777 "$E2E_TMP" out
    else
        runner=(skip)
    fi
fi
if [[ ${runner[0]:-} == skip ]]; then
    echo "note: unreadable file not tested: running as root and cannot drop to nobody"
else
    rm -f out/* log.txt
    e2e_run_with timeout 60 "${runner[@]}" "$PELLMARK" -interactive=none -printer_id=Testpdf \
        -log=log.txt no_read.txt
    assert_eq 0 "$E2E_STATUS" "unreadable: exit status"
    assert_file_contains log.txt "lopen(no_read.txt) failed because of error 5" "unreadable: log"
    assert_files_in out "" "unreadable: nothing printed"
fi

# Reports that are not text print all the same: every byte is a character, a NUL ends the
# printed part of its line.
rm -f out/* log.txt
run_bounded -interactive=none -printer_id=Testpdf -log=log.txt binary.dat nul.txt
assert_eq 0 "$E2E_STATUS" "binary and NUL: exit status"
assert_files_in out "binary.pdf nul.pdf" "binary and NUL: both printed"
assert_file_contains log.txt "Printing binary.dat (page 1)" "binary: log"
assert_eq "ab||xyz" "$(pdftotext -layout out/nul.pdf - | sed 's/ *$//' | head -n 3 | tr '\n' '|' |
    sed 's/|$//')" "NUL: text before each NUL prints, the rest of its line does not"

# Option values far beyond every field (60000 characters: two fit one argument of at most
# 128 KiB): cut or clamped, never overflowing; the report prints.
huge=$(head -c 60000 /dev/zero | tr '\0' 'Z')
printf 'text\n' >r.txt
rm -f out/* log.txt
run_bounded -interactive=none -printer_id=Testpdf -log=log.txt "-form_id=$huge" "-font=$huge" \
    "-copies=99999999999999999999" "-pitch=-99999999" "-width=1e300" "-length=-1e300m" \
    "-source=$huge" "-config=$huge" "-printer_ctl=-form_id=$huge -font=$huge" \
    "-orientation=$huge" "-disposition=$huge" "-user=$huge" r.txt
assert_eq 0 "$E2E_STATUS" "huge values: exit status"
assert_files_in out "r.pdf" "huge values: the report prints"
assert_file_contains log.txt "Printing r.txt (page 1)" "huge values: log"
rm -f out/* log.txt
run_bounded -interactive=none -log=log.txt "-printer_id=$huge" r.txt
assert_eq 0 "$E2E_STATUS" "huge printer name: exit status"
assert_contains "$E2E_STDERR" "Can't Open Printer" "huge printer name: the message says so"
assert_files_in out "" "huge printer name: nothing printed"

# Configuration files that include themselves, directly and through another: each is read
# once per mention, the run ends, and the options around the loops apply.
printf -- '-copies=2\n-config=self.cfg\n-printer_id=Testpdf\n' >self.cfg
printf -- '-config=b.cfg\n-interactive=none\n' >a.cfg
printf -- '-config=a.cfg\n-log=log.txt\n' >b.cfg
rm -f out/* log.txt
run_bounded -config=self.cfg -config=a.cfg r.txt
assert_eq 0 "$E2E_STATUS" "self-including configuration: exit status"
assert_files_in out "r.pdf" "self-including configuration: the report prints"
assert_file_contains log.txt "GetLine found CTL_EOF" "self-including configuration: log"

# A log in a folder that does not exist: no log, no folder made, the report prints.
rm -f out/*
run_bounded -interactive=none -printer_id=Testpdf -log=no/such/folder/log.txt r.txt
assert_eq 0 "$E2E_STATUS" "log in a missing folder: exit status"
assert_no_file no "log in a missing folder: no folder made"
assert_files_in out "r.pdf" "log in a missing folder: the report prints"
rm -f out/*
PELLMARK_DEBUG=no/such/folder/env.log run_bounded -interactive=none -printer_id=Testpdf r.txt
assert_files_in out "r.pdf" "PELLMARK_DEBUG in a missing folder: the report prints"

e2e_finish
