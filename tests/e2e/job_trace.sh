#!/bin/bash
# The platform call trace of a run: one JSON object per line, in call order, with the start-up
# calls and the report file's _lopen/_lclose pair.
set -euo pipefail
source "$PELLMARK_SOURCE_DIR/tests/e2e/lib/common.sh"
e2e_tmpdir
dir=$E2E_TMP
cd "$dir"
unset PELLMARK_DEBUG PELLMARK_FAULTS
mkdir out
printf '[devices]\nTestpdf=pdf,%s/out\n' "$dir" >profile.ini
export PELLMARK_PROFILE="$dir/profile.ini"
printf 'caf\xe9\n' >$'r\xe9.txt'

echo stale >trace.jsonl
PELLMARK_TRACE="$dir/trace.jsonl" e2e_run -interactive=none -printer_id=Testpdf missing.txt \
    $'r\xe9.txt'
assert_eq 0 "$E2E_STATUS" "exit status"

# Checks the trace with Python's JSON reader; prints one line per finding.
got=$(python3 - "$dir/trace.jsonl" <<'PY'
import json, sys
lines = open(sys.argv[1], encoding="utf-8").read().splitlines()
calls = []
for n, line in enumerate(lines, 1):
    try:
        calls.append(json.loads(line))
    except ValueError as e:
        print(f"line {n} is not JSON: {e}: {line}")
if lines and lines[0] == "stale":
    print("the trace was not emptied")
first = calls[0] if calls else {}
print("first:", first.get("fn"), first.get("platformId"))
opens = [c for c in calls if c.get("fn") == "_lopen"]
closes = [c for c in calls if c.get("fn") == "_lclose"]
for c in opens:
    print("open:", c.get("path"), c.get("mode"), "ok" if c.get("ret", -1) > 0 else c.get("ret"))
for c in closes:
    print("close:", "same" if opens and c.get("file") == opens[-1].get("ret") else c, c.get("ret"))
PY
)
# The byte 0xE9 of the file name is the code point U+00E9 in the trace.
expected=$(printf 'first: GetVersionExA 2\nopen: missing.txt 0 -1\nopen: r\xc3\xa9.txt 0 ok\nclose: same 0')
assert_eq "$expected" "$got" "trace lines"

# ORVO_DBG_PELLMARK breaks into a debugger first; without one the run goes on.
ORVO_DBG_PELLMARK= PELLMARK_TRACE="$dir/debug.jsonl" e2e_run -copies=2
assert_eq 0 "$E2E_STATUS" "debug break: exit status"
assert_eq '{"fn":"DebugBreak"}' "$(head -n 1 debug.jsonl)" "debug break: the first call"

e2e_finish
