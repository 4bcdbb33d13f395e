#!/bin/bash
# A named pipe that nobody writes to, named as a report: the run must not wait for a writer.
# It either refuses the pipe (access denied) or reads it as an empty report, then prints the
# next report and ends with status 0.
set -euo pipefail
source "$PELLMARK_SOURCE_DIR/tests/e2e/lib/common.sh"
e2e_tmpdir
cd "$E2E_TMP"
unset PELLMARK_DEBUG PELLMARK_TRACE PELLMARK_FAULTS
mkdir out
printf '[devices]\nTestpdf=pdf,%s/out\n' "$E2E_TMP" >profile.ini
export PELLMARK_PROFILE="$E2E_TMP/profile.ini"
mkfifo pipe
printf 'after\n' >after.txt

set +e
timeout 20 "$PELLMARK" -interactive=none -printer_id=Testpdf -log=log.txt pipe after.txt \
    </dev/null >/dev/null 2>&1
status=$?
set -e
assert_eq 0 "$status" "exit status (124: the run waited for a writer)"
log=$(cat log.txt 2>/dev/null || true)
if [[ $log == *"lopen(pipe) failed because of error 5"* || $log == *"GetLine found CTL_EOF"* ]]; then
    e2e_pass
else
    e2e_fail "log" "the pipe refused (error 5) or read as empty" "[$log]"
fi
assert_eq "%PDF" "$(head -c 4 out/after.pdf 2>/dev/null)" "the next report prints"
e2e_finish
