#!/usr/bin/env bash
# Installs what is missing, builds Pellmark, and runs every test: the unit, contract and
# end-to-end tests in a plain build and again under AddressSanitizer and
# UndefinedBehaviorSanitizer, then the further stages under tests/stages/ (the Windows build
# under Wine, valgrind, fuzzing), each in its own step.
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
cd "$here"
"$here/scripts/deps.sh" test || { echo "test.sh: installing dependencies failed" >&2; exit 1; }

jobs=$(nproc)
passed=0
failed=0
export LSAN_OPTIONS="suppressions=$here/tests/lsan.supp:print_suppressions=0"
export ASAN_OPTIONS="detect_leaks=1:abort_on_error=0"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"

# Runs ctest in a build folder and adds its counts to the totals.
run_ctest() {
  local dir=$1 label=$2 log
  log=$(mktemp)
  echo "== $label"
  (cd "$dir" && ctest --output-on-failure -j"$jobs" 2>&1) | tee "$log"
  local line p f
  line=$(grep -E '[0-9]+% tests passed, [0-9]+ tests? failed out of [0-9]+' "$log" | tail -n 1)
  if [ -n "$line" ]; then
    f=$(sed -E 's/.* ([0-9]+) tests? failed out of ([0-9]+).*/\1/' <<<"$line")
    p=$(( $(sed -E 's/.* out of ([0-9]+).*/\1/' <<<"$line") - f ))
  else
    p=0; f=1
  fi
  passed=$((passed + p)); failed=$((failed + f))
  rm -f "$log"
}

build() {
  local dir=$1; shift
  cmake -S "$here" -B "$dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DPELLMARK_TESTS=ON "$@" >/dev/null &&
    cmake --build "$dir" -j"$jobs" 2>&1 | grep -vE '^\[ *[0-9]+%\]' 
  return "${PIPESTATUS[0]}"
}

if build build; then run_ctest build "plain build"; else echo "test.sh: plain build failed"; failed=$((failed + 1)); fi
if build build-asan -DPELLMARK_SANITIZE=ON; then
  run_ctest build-asan "AddressSanitizer + UndefinedBehaviorSanitizer build"
else
  echo "test.sh: sanitizer build failed"; failed=$((failed + 1))
fi

# Further stages: each script prints what it checks and exits non-zero on a failure.
for stage in "$here"/tests/stages/*.sh; do
  [ -e "$stage" ] || continue
  echo "== stage $(basename "$stage" .sh)"
  if bash "$stage"; then passed=$((passed + 1)); else failed=$((failed + 1)); echo "stage $(basename "$stage") FAILED"; fi
done

echo
echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
