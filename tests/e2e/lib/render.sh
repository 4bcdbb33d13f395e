# Helpers for the black-box tests of report printing. Source common.sh first, then this, in
# a script that has called e2e_tmpdir and changed to $E2E_TMP.
#
# render_profile writes a profile with the test printers (all writing into $E2E_TMP/out):
#   PDF     pdf, 600 dpi, quarter-inch margins (the built-in defaults)
#   PDF60   pdf, half-inch margins: a Letter sheet (-width=8.5i -length=11i) holds 60 lines
#           of the default 6-lines-per-inch font
#   PDF300  pdf, 300 dpi
#   PDF254  pdf, 254 dpi without margins: one device unit is a tenth of a millimetre
#   LP      raw line printer writing $E2E_TMP/out/lp.prn
# render_run ARGS runs the binary with that profile, a fresh debug log (log.txt) and trace
# (trace.jsonl); PELLMARK_FAULTS passes through from the caller.
# calls NAME[:keys] ... prints the traced calls of the last run (see trace_calls.py).

render_profile() {
    mkdir -p "$E2E_TMP/out"
    cat >"$E2E_TMP/profile.ini" <<INI
[windows]
device=PDF,pdf,$E2E_TMP/out
[devices]
PDF=pdf,$E2E_TMP/out
PDF60=pdf,$E2E_TMP/out,margins=0.5in
PDF300=pdf,$E2E_TMP/out,dpi=300
PDF254=pdf,$E2E_TMP/out,dpi=254,margins=0
LP=raw,$E2E_TMP/out/lp.prn
INI
    export PELLMARK_PROFILE="$E2E_TMP/profile.ini"
    unset PELLMARK_DEBUG PELLMARK_TRACE
}

render_run() {
    rm -f "$E2E_TMP/log.txt" "$E2E_TMP/trace.jsonl"
    PELLMARK_DEBUG="$E2E_TMP/log.txt" PELLMARK_TRACE="$E2E_TMP/trace.jsonl" e2e_run "$@"
    [[ -e "$E2E_TMP/log.txt" ]] || : >"$E2E_TMP/log.txt"
}

calls() {
    python3 "$PELLMARK_SOURCE_DIR/tests/e2e/lib/trace_calls.py" "$E2E_TMP/trace.jsonl" "$@"
}

# The debug log of the last run without the reader's per-line messages.
log_without_lines() {
    grep -v '^GetLine' "$E2E_TMP/log.txt" || true
}

# lines N PREFIX: N numbered lines "PREFIX1" .. "PREFIXN", each ended by a line feed.
lines() {
    local i
    for ((i = 1; i <= $1; i++)); do printf '%s%d\n' "$2" "$i"; done
}
