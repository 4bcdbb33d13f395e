#!/bin/bash
# Started without arguments, pellmark prints the option help list (stored order, paper names
# under form_id and source) and exits 0 without waiting for anyone; the trace shows the help
# dialog filled line by line and ended by its OK command.
set -euo pipefail
source "$PELLMARK_SOURCE_DIR/tests/e2e/lib/common.sh"
e2e_tmpdir
cd "$E2E_TMP"
unset PELLMARK_DEBUG PELLMARK_FAULTS

golden="$PELLMARK_SOURCE_DIR/tests/golden/help.txt"
PELLMARK_TRACE="$E2E_TMP/trace.jsonl" "$PELLMARK" </dev/null >help.txt 2>stderr.txt &&
    status=0 || status=$?
assert_eq 0 "$status" "exit status"
assert_eq 83 "$(wc -l <help.txt | tr -d ' ')" "lines listed"
if cmp -s "$golden" help.txt; then
    e2e_pass
else
    e2e_fail "help list equals tests/golden/help.txt" "the golden file" "$(diff "$golden" help.txt | head -20)"
fi
assert_eq "" "$(cat stderr.txt)" "nothing on stderr"

got=$(python3 - "$E2E_TMP/trace.jsonl" <<'PY'
import json, sys
calls = [json.loads(line) for line in open(sys.argv[1], encoding="utf-8")]
def of(fn): return [c for c in calls if c.get("fn") == fn]
boxes = of("DialogBoxParamA")
print("dialog:", [(c.get("template"), c.get("ret")) for c in boxes])
adds = [c for c in of("SendMessageA") if c.get("msg") == 0x180]
print("added:", len(adds), adds[0].get("text") if adds else None, adds[8].get("text") if len(adds) > 8 else None)
print("ended:", [c.get("result") for c in of("EndDialog")])
PY
)
assert_contains "$got" "dialog: [(101, 1)]" "DialogBoxParamA with template 101, result 1"
assert_contains "$got" $'added: 83 -banner\t\tif present, print a banner page (not currently supported) \t="10 by 14 sheet"' \
    "LB_ADDSTRING texts in the trace"
assert_contains "$got" "ended: [1]" "EndDialog with 1 once"

# With an argument there is no help list.
mkdir out
printf '[devices]\nTestpdf=pdf,%s/out\n' "$E2E_TMP" >profile.ini
PELLMARK_PROFILE="$E2E_TMP/profile.ini" e2e_run -interactive=none
assert_eq "" "$E2E_STDOUT" "an option alone prints no help"
e2e_finish
