#!/bin/bash
# Cancelling a report while it prints: the progress dialog's Cancel (through the fault knob)
# and Ctrl-C on a running print. The report stops, the document is given up, SCRATCH keeps
# the report, and the next report on the command line prints as usual.
set -euo pipefail
source "$PELLMARK_SOURCE_DIR/tests/e2e/lib/common.sh"
source "$PELLMARK_SOURCE_DIR/tests/e2e/lib/render.sh"
e2e_tmpdir
cd "$E2E_TMP"
render_profile

# Cancel pressed while page 2 prints: no line after it is read, page 3 never starts.
printf 'a\fb\fc\fd\n' >r.txt
printf 'next\n' >next.txt
PELLMARK_FAULTS=Cancel#2=1 render_run -disposition=scratch r.txt next.txt
assert_eq 0 "$E2E_STATUS" "Cancel: exit status"
assert_not_contains "$(cat log.txt)" "r.txt (page 3)" "Cancel: page 3 never starts"
assert_not_contains "$(cat log.txt)" "GetLine returned c" "Cancel: no further line is read"
assert_contains "$(cat log.txt)" "Keeping r.txt: it was not printed" "Cancel: report kept"
assert_file r.txt "Cancel: report kept"
assert_contains "$(calls MessageBoxA:text)" "returned -2 (Abort by application)." \
    "Cancel: the stopped spooler call is reported"
assert_files_in out "next.pdf" "Cancel: nothing of r.txt is left, the next report printed"
assert_no_file next.txt "Cancel: the next report is printed and deleted"
assert_eq "CreateDialogParamA;DestroyWindow;CreateDialogParamA;DestroyWindow" \
    "$(calls CreateDialogParamA DestroyWindow | tr '\n' ';' | sed 's/;$//')" \
    "Cancel: one dialog per report, each destroyed"

# Ctrl-C on a running print. The printer is a command that reads nothing until the test
# opens its gate, so the document (far larger than a pipe holds) cannot be finished before
# the interrupt arrives: the run is deterministic however fast the machine is.
mkfifo gate
printf '[devices]\nGated=pdf,|read x < %s/gate; cat > %s/out/gated.pdf\n' "$E2E_TMP" "$E2E_TMP" \
    >>profile.ini
for ((p = 0; p < 600; p++)); do lines 60 "page $p line " | sed 's/$/ ........................................................../'; done >big.txt

# Starts pellmark in the background with Ctrl-C at its default (a script's background jobs
# ignore it otherwise), waits until page 2 is under way, interrupts it, opens the gate and
# waits for the end. Sets INTERRUPTED_STATUS.
interrupt_run() {
    rm -f log.txt
    PELLMARK_DEBUG="$E2E_TMP/log.txt" python3 -c \
        'import os, signal, sys; signal.signal(signal.SIGINT, signal.SIG_DFL); os.execv(sys.argv[1], sys.argv[1:])' \
        "$PELLMARK" "$@" </dev/null >/dev/null 2>stderr.txt &
    local pid=$! i
    for ((i = 0; i < 600; i++)); do
        grep -q 'big.txt (page 2)' log.txt 2>/dev/null && break
        sleep 0.05
    done
    kill -INT "$pid"
    sleep 0.2
    echo open 1<>gate  # read-write: never waits, even when the reader is gone
    set +e
    wait "$pid"
    INTERRUPTED_STATUS=$?
    set -e
    # The printer command outlives a program ended by the signal (a terminal's Ctrl-C would
    # reach it too): let it finish before the folder is checked and removed.
    for ((i = 0; i < 200; i++)); do
        pgrep -f "read x < $E2E_TMP/gate" >/dev/null || break
        sleep 0.05
    done
}

interrupt_run -printer_id=Gated -disposition=scratch big.txt
assert_eq 0 "$INTERRUPTED_STATUS" "Ctrl-C: exit status"
assert_contains "$(cat log.txt)" "Keeping big.txt: it was not printed" "Ctrl-C: report kept"
assert_file big.txt "Ctrl-C: report kept"
assert_not_contains "$(cat log.txt)" "big.txt (page 600)" "Ctrl-C: stopped before the end"
assert_not_contains "$(cat log.txt)" "GetLine found CTL_EOF" "Ctrl-C: not read to the end"
assert_contains "$(cat stderr.txt)" "(Abort by application)." "Ctrl-C: the stop is reported"

# Without windows there is no Cancel to press: Ctrl-C ends the process the usual way, and
# the report is kept.
rm -f gate && mkfifo gate
interrupt_run -interactive=none -printer_id=Gated -disposition=scratch big.txt
assert_eq 130 "$INTERRUPTED_STATUS" "Ctrl-C without windows: ended by the signal"
assert_file big.txt "Ctrl-C without windows: report kept"

e2e_finish
