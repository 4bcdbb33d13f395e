# Check bookkeeping for the Windows stage: every check prints one line, ok, FAIL or skip, and
# the stage fails when any check failed. A skipped check says why and never counts as passed.

checks_passed=0
checks_failed=0
checks_skipped=0

# Prints a heading for the checks that follow.
section() { printf '\n-- %s\n' "$*"; }

pass() { checks_passed=$((checks_passed + 1)); printf '  ok    %s\n' "$*"; }
fail() { checks_failed=$((checks_failed + 1)); printf '  FAIL  %s\n' "$*"; }
skip() { checks_skipped=$((checks_skipped + 1)); printf '  skip  %s\n' "$*"; }

# expect_eq WHAT EXPECTED GOT: passes when the two texts are equal.
expect_eq() {
    if [ "$2" = "$3" ]; then pass "$1 ($3)"; else fail "$1: expected '$2', got '$3'"; fi
}

# expect_grep WHAT FILE PATTERN: passes when the extended regex matches a line of FILE.
expect_grep() {
    if [ -f "$2" ] && grep -Eq -- "$3" "$2"; then
        pass "$1"
    else
        fail "$1: expected a line matching /$3/ in ${2##*/}, got none"
    fi
}

# expect_no_grep WHAT FILE PATTERN: passes when no line of FILE matches.
expect_no_grep() {
    local hit
    if hit=$(grep -Em1 -- "$3" "$2" 2>/dev/null); then
        fail "$1: expected no line matching /$3/ in ${2##*/}, got '$hit'"
    else
        pass "$1"
    fi
}

# Prints the totals; status 1 when a check failed.
checks_summary() {
    printf '\nwindows stage: %d passed, %d failed, %d skipped\n' \
        "$checks_passed" "$checks_failed" "$checks_skipped"
    [ "$checks_failed" -eq 0 ]
}
