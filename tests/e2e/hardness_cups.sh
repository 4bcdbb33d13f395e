#!/bin/bash
# CUPS going away under Pellmark, with a private scheduler: a printer deleted between two runs,
# the scheduler stopped before a run, and stopped while a long report is being sent. Each run
# ends with status 0 and a message box on stderr, and SCRATCH keeps the report.
set -euo pipefail
source "$PELLMARK_SOURCE_DIR/tests/e2e/lib/common.sh"
source "$PELLMARK_SOURCE_DIR/tests/lib/cupsd.sh"
e2e_tmpdir
dir=$E2E_TMP
cd "$dir"
unset PELLMARK_DEBUG PELLMARK_TRACE PELLMARK_FAULTS
: >profile.ini
export PELLMARK_PROFILE="$dir/profile.ini"
if ! cupsd_start; then
    echo "note: no CUPS scheduler can be started here; nothing tested"
    exit 0
fi
trap 'cupsd_stop; rm -rf "$dir"' EXIT

# run_job PRINTER REPORT: prints REPORT with SCRATCH under a time limit.
run_job() {
    set +e
    timeout 120 "$PELLMARK" -interactive=none -printer_id="$1" -log=log.txt -disposition=scratch \
        "$2" </dev/null >stdout.txt 2>stderr.txt
    E2E_STATUS=$?
    set -e
}

printf 'first\n' >first.txt
cupsd_add_pdf_queue Gone
run_job Gone first.txt
assert_eq 0 "$E2E_STATUS" "printer present: exit status"
assert_no_file first.txt "printer present: printed and deleted"
cupsd_wait_capture Gone 1 >/dev/null
assert_eq 0 $? "printer present: the job arrives"

lpadmin -x Gone
printf 'second\n' >second.txt
run_job Gone second.txt
assert_eq 0 "$E2E_STATUS" "printer deleted: exit status"
assert_contains "$(cat stderr.txt)" "Can't Open Printer" "printer deleted: message box"
assert_file second.txt "printer deleted: report kept"

# A report of some 400 pages: sending it takes long enough to stop the scheduler midway.
cupsd_add_pdf_queue Busy
seq 1 25000 | awk '{printf "%08d ledger %d balance %d.%02d\n", $1, $1 * 7919 % 100003, $1 * 31, $1 % 100}' >long.txt
set +e
PELLMARK_TRACE=$dir/trace.jsonl timeout 120 "$PELLMARK" -interactive=none -printer_id=Busy \
    -log=log.txt -disposition=scratch long.txt </dev/null >stdout.txt 2>stderr.txt &
pid=$!
for _ in $(seq 1 200); do
    grep -q '"fn":"EndPage"' trace.jsonl 2>/dev/null && break
    sleep 0.05
done
cupsd_stop
wait "$pid"
status=$?
set -e
assert_eq 0 "$status" "scheduler stopped during a job: exit status"
assert_contains "$(cat stderr.txt)" "returned -1" "scheduler stopped during a job: message box"
assert_file_contains log.txt "Keeping long.txt: it was not printed" "stopped during a job: log"
assert_file long.txt "scheduler stopped during a job: report kept"

# The scheduler is gone now: the next run cannot reach it at all.
printf 'third\n' >third.txt
run_job Busy third.txt
assert_eq 0 "$E2E_STATUS" "scheduler stopped before: exit status"
assert_contains "$(cat stderr.txt)" "Can't Open Printer" "scheduler stopped before: message box"
assert_file third.txt "scheduler stopped before: report kept"

e2e_finish
