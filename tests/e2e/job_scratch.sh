#!/bin/bash
# The SCRATCH disposition through the real binary: a printed report is deleted together with
# the configuration file; a report that was not printed is kept, and the log says why.
set -euo pipefail
source "$PELLMARK_SOURCE_DIR/tests/e2e/lib/common.sh"
e2e_tmpdir
dir=$E2E_TMP
cd "$dir"
unset PELLMARK_DEBUG PELLMARK_TRACE PELLMARK_FAULTS
mkdir out
printf '[devices]\nTestpdf=pdf,%s/out\n' "$dir" >profile.ini
export PELLMARK_PROFILE="$dir/profile.ini"

# Printed: the report and the configuration file that asked for SCRATCH are both deleted.
printf 'hello\nworld\n' >a.txt
printf -- '-disposition=scratch\n-printer_id=Testpdf\n-interactive=none\n' >c.cfg
e2e_run -log=printed.log -config=c.cfg a.txt
assert_eq 0 "$E2E_STATUS" "printed: exit status"
assert_no_file a.txt "printed: report deleted"
assert_no_file c.cfg "printed: configuration file deleted"
assert_not_contains "$(cat printed.log)" "Keeping" "printed: no keep line"
assert_eq 1 "$(find out -type f | wc -l)" "printed: one document in the printer's folder"

# Two reports: the second deletion of the configuration file fails silently, the loop goes on.
printf 'one\n' >one.txt
printf 'two\n' >two.txt
printf -- '-printer_id=Testpdf\n' >d.cfg
e2e_run -interactive=none -disposition=scratch -config=d.cfg one.txt -disposition=save two.txt
assert_no_file one.txt "two reports: first deleted"
assert_no_file d.cfg "two reports: config deleted with the first"
assert_file two.txt "two reports: SAVE keeps the second"

# Not printed: a report that cannot be read (a folder), a missing one, and one whose printing
# fails are all kept, with their configuration file, and the log says so.
mkdir unreadable
printf 'text\n' >failed.txt
printf -- '-printer_id=Testpdf\n' >k.cfg
PELLMARK_FAULTS='StartPage=-1' e2e_run -interactive=none -log=kept.log -disposition=scratch \
    -config=k.cfg unreadable missing.txt failed.txt
assert_eq 0 "$E2E_STATUS" "kept: exit status"
assert_file unreadable "kept: unreadable report"
assert_file failed.txt "kept: report whose printing failed"
assert_file k.cfg "kept: configuration file"
assert_file_contains kept.log \
    $'lopen(unreadable) failed because of error 5\nKeeping unreadable: it was not printed\n' \
    "kept: log line for the unreadable report"
assert_file_contains kept.log $'Keeping missing.txt: it was not printed\n' "kept: missing report"
assert_file_contains kept.log $'Keeping failed.txt: it was not printed\n' "kept: failed report"

# An empty argument is a report name: nothing printed, nothing deleted, the loop goes on.
printf 'x\n' >after.txt
e2e_run -interactive=none -printer_id=Testpdf -log=empty.log -disposition=scratch "" after.txt
assert_file_contains empty.log $'Keeping : it was not printed\n' "empty name: kept"
assert_no_file after.txt "empty name: the next report is still printed and deleted"

e2e_finish
