# Small helpers for the black-box tests of the binary. Source it from a tests/e2e/*.sh script:
#
#     source "$PELLMARK_SOURCE_DIR/tests/e2e/lib/common.sh"
#     e2e_tmpdir && cd "$E2E_TMP"
#     e2e_run -copies=2 report.txt
#     assert_eq 0 "$E2E_STATUS" "exit status"
#     e2e_finish
#
# Every assertion prints the note, what was expected and what was got, counts failures and
# goes on; e2e_finish prints the tally and exits 1 when anything failed.

E2E_FAILURES=0
E2E_CHECKS=0

# A fresh temporary folder in E2E_TMP, removed when the script ends. Call it in the script's
# own shell (not inside $(...)), or the folder goes with the subshell.
e2e_tmpdir() {
    E2E_TMP=$(mktemp -d "${TMPDIR:-/tmp}/pellmark-e2e.XXXXXX")
    # shellcheck disable=SC2064
    trap "rm -rf '$E2E_TMP'" EXIT
}

# Runs the binary with the given arguments, stdin from /dev/null so that nothing can wait for
# an answer. Sets E2E_STATUS, E2E_STDOUT and E2E_STDERR; never stops the script.
e2e_run() {
    local out err
    out=$(mktemp) err=$(mktemp)
    set +e
    "$PELLMARK" "$@" </dev/null >"$out" 2>"$err"
    E2E_STATUS=$?
    set -e
    E2E_STDOUT=$(cat "$out")
    E2E_STDERR=$(cat "$err")
    rm -f "$out" "$err"
}

e2e_fail() {
    E2E_FAILURES=$((E2E_FAILURES + 1))
    printf 'FAIL: %s\n  expected: %s\n  got:      %s\n' "$1" "$2" "$3" >&2
}

e2e_pass() { E2E_CHECKS=$((E2E_CHECKS + 1)); }

# assert_eq EXPECTED GOT NOTE
assert_eq() {
    if [[ "$1" == "$2" ]]; then e2e_pass; else e2e_fail "$3" "[$1]" "[$2]"; fi
}

# assert_contains HAYSTACK NEEDLE NOTE
assert_contains() {
    if [[ "$1" == *"$2"* ]]; then e2e_pass; else e2e_fail "$3" "text containing [$2]" "[$1]"; fi
}

# assert_not_contains HAYSTACK NEEDLE NOTE
assert_not_contains() {
    if [[ "$1" != *"$2"* ]]; then e2e_pass; else e2e_fail "$3" "text without [$2]" "[$1]"; fi
}

# assert_file_contains PATH NEEDLE NOTE: the file's whole content, trailing newlines
# included, contains NEEDLE.
assert_file_contains() {
    local got="<missing>"
    [[ -e "$1" ]] && got=$(cat "$1"; printf x) && got=${got%x}
    if [[ "$got" == *"$2"* ]]; then e2e_pass; else e2e_fail "$3" "text containing [$2]" "[$got]"; fi
}

# assert_file PATH NOTE: the file exists.
assert_file() {
    if [[ -e "$1" ]]; then e2e_pass; else e2e_fail "$2" "file $1" "no such file"; fi
}

# assert_no_file PATH NOTE: the file does not exist.
assert_no_file() {
    if [[ ! -e "$1" ]]; then e2e_pass; else e2e_fail "$2" "no file $1" "the file exists"; fi
}

# assert_file_eq PATH EXPECTED NOTE: the file's whole content (a missing file reads as
# "<missing>").
assert_file_eq() {
    local got="<missing>"
    [[ -e "$1" ]] && got=$(cat "$1"; printf x) && got=${got%x}
    if [[ "$got" == "$2" ]]; then e2e_pass; else e2e_fail "$3" "[$2]" "[$got]"; fi
}

# assert_files_in DIR EXPECTED NOTE: the sorted names in DIR, space-separated.
assert_files_in() {
    local got
    got=$(cd "$1" && find . -mindepth 1 -maxdepth 1 -printf '%f\n' | LC_ALL=C sort | tr '\n' ' ')
    got=${got% }
    assert_eq "$2" "$got" "$3"
}

# Prints the tally; exits 1 when any assertion failed.
e2e_finish() {
    printf '%d checks, %d failed\n' "$((E2E_CHECKS + E2E_FAILURES))" "$E2E_FAILURES"
    [[ $E2E_FAILURES -eq 0 ]]
}
