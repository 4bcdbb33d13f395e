#!/usr/bin/env bash
# Builds the libFuzzer targets under fuzz/ with clang, AddressSanitizer and
# UndefinedBehaviorSanitizer in build-fuzz/, replays every seed and regression input of
# fuzz/corpus/<target>/, then fuzzes each target for FUZZ_SECONDS (default 20). Exits non-zero
# on a build failure, a crash, a sanitizer report or a failed check; the input that did it is
# left as build-fuzz/artifacts/<target>/crash-*.
set -uo pipefail
here=$(cd "$(dirname "$0")/../.." && pwd)
build=${FUZZ_BUILD_DIR:-$here/build-fuzz}
seconds=${FUZZ_SECONDS:-20}
targets=(options line_reader overstrike)

if ! command -v clang++ >/dev/null; then
    echo "fuzz: clang++ is missing" >&2
    exit 1
fi
CC=clang CXX=clang++ cmake -S "$here" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DPELLMARK_FUZZ=ON -DPELLMARK_SANITIZE=ON -DPELLMARK_TESTS=OFF >/dev/null || exit 1
cmake --build "$build" -j2 $(printf -- '--target fuzz_%s ' "${targets[@]}") 2>&1 |
    grep -vE '^\[ *[0-9]+/[0-9]+\]'
[ "${PIPESTATUS[0]}" -eq 0 ] || { echo "fuzz: build failed" >&2; exit 1; }

export ASAN_OPTIONS="detect_leaks=1:abort_on_error=0"
export LSAN_OPTIONS="suppressions=$here/tests/lsan.supp:print_suppressions=0"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
failed=0
for target in "${targets[@]}"; do
    binary=$build/fuzz/fuzz_$target
    seeds=$here/fuzz/corpus/$target
    work=$build/corpus/$target
    artifacts=$build/artifacts/$target
    mkdir -p "$work" "$artifacts"
    log=$build/fuzz_$target.log
    # The seeds and regression inputs first, each once; then a bounded run that grows the
    # working corpus (kept between runs in the build folder, never in the tree).
    if ! "$binary" -runs=0 "$seeds" >"$log" 2>&1 ||
        ! "$binary" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
            -artifact_prefix="$artifacts/" "$work" "$seeds" >>"$log" 2>&1; then
        echo "fuzz_$target: FAILED (log: $log)"
        grep -E 'ERROR|check failed|SUMMARY|Test unit written' "$log" | head -n 10
        failed=1
        continue
    fi
    echo "fuzz_$target: $(grep -E '^Done [0-9]+ runs' "$log" | tail -n 1)"
done
exit "$failed"
