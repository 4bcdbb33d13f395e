#!/bin/bash
# Options without report files: exit status 0, nothing printed, only the log files that the
# options and the environment ask for.
set -euo pipefail
source "$PELLMARK_SOURCE_DIR/tests/e2e/lib/common.sh"
e2e_tmpdir
dir=$E2E_TMP
cd "$dir"
unset PELLMARK_DEBUG PELLMARK_TRACE PELLMARK_FAULTS
export PELLMARK_PROFILE="$dir/none.ini"

# Options only: nothing printed, nothing written, status 0 (the trace shows no file opened).
mkdir only && cd only
PELLMARK_TRACE="$dir/only.trace" e2e_run -copies=2 /orientation=landscape -width=8.5i \
    -disposition=scratch -source=Upper -form_ctl=-form_id=A4
assert_eq 0 "$E2E_STATUS" "options only: exit status"
assert_eq "" "$E2E_STDOUT$E2E_STDERR" "options only: no output"
assert_files_in . "" "options only: no file created"
assert_not_contains "$(cat "$dir/only.trace" 2>/dev/null)" '"fn":"_lopen"' \
    "options only: no report opened"
cd "$dir"

# "-" alone selects the log option without a value: a log file named INVALID ARGUMENT.
mkdir dash && cd dash
e2e_run -
assert_eq 0 "$E2E_STATUS" "-: exit status"
assert_files_in . "INVALID ARGUMENT" "-: creates the log file INVALID ARGUMENT"
assert_file_eq "INVALID ARGUMENT" "" "-: the log is empty"
cd "$dir"

# -log=x receives the log lines of later reports; a failed open is logged there.
e2e_run -log=x.log missing.txt
assert_eq 0 "$E2E_STATUS" "-log: exit status"
assert_file_eq x.log $'lopen(missing.txt) failed because of error 2\n' "-log: the failed open"

# PELLMARK_DEBUG names the log when no log option is given.
PELLMARK_DEBUG="$dir/env.log" e2e_run missing.txt
assert_file_eq env.log $'lopen(missing.txt) failed because of error 2\n' "PELLMARK_DEBUG log"

# A log option before the first report wins over the variable, which is then never read.
rm -f env.log
PELLMARK_DEBUG="$dir/env.log" e2e_run -log=opt.log missing.txt
assert_no_file env.log "log option first: the variable is not consulted"
assert_file_eq opt.log $'lopen(missing.txt) failed because of error 2\n' "log option first"

# A log option after a report: the first report's lines went where the variable decided.
rm -f env.log opt.log
PELLMARK_DEBUG="$dir/env.log" e2e_run one.txt -log=opt.log two.txt
assert_file_eq env.log $'lopen(one.txt) failed because of error 2\n' "log moves: before"
assert_file_eq opt.log $'lopen(two.txt) failed because of error 2\n' "log moves: after"

# A log file that cannot be opened keeps the active log.
rm -f opt.log
e2e_run -log=opt.log -log=/nonexistent/dir/x.log missing.txt
assert_file_eq opt.log $'lopen(missing.txt) failed because of error 2\n' "failed -log keeps the log"

# A variable naming a file in a missing folder: no log, no message, status 0.
PELLMARK_DEBUG=/nonexistent/dir/x.log e2e_run missing.txt
assert_eq 0 "$E2E_STATUS" "unusable PELLMARK_DEBUG: status"
assert_eq "" "$E2E_STDERR" "unusable PELLMARK_DEBUG: no message"

# Options from a configuration file take effect before the report that follows.
printf -- '-log=cfg.log\r\n' >c.cfg
e2e_run -config=c.cfg missing.txt
assert_file_eq cfg.log $'lopen(missing.txt) failed because of error 2\n' "log from a config file"

e2e_finish
