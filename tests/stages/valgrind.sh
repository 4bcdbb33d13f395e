#!/usr/bin/env bash
# Runs the unit and contract test programs that exercise the program's own code, and a few
# runs of the binary, under valgrind's memcheck: any invalid read or write, use of
# uninitialised memory or definite leak fails the stage. Leaks inside the font, cairo and
# CUPS libraries' process-wide caches are suppressed (tests/valgrind.supp).
#
# Uses the plain build in build/ (./test.sh makes it first); VALGRIND_BUILD_DIR names another.
set -uo pipefail
here=$(cd "$(dirname "$0")/../.." && pwd)
build=${VALGRIND_BUILD_DIR:-$here/build}
if ! command -v valgrind >/dev/null; then
    echo "valgrind: valgrind is missing" >&2
    exit 1
fi
if [ ! -x "$build/pellmark" ]; then
    cmake -S "$here" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null &&
        cmake --build "$build" -j2 >/dev/null || { echo "valgrind: build failed" >&2; exit 1; }
fi

work=$(mktemp -d "${TMPDIR:-/tmp}/pellmark-valgrind.XXXXXX")
trap 'rm -rf "$work"' EXIT
export PELLMARK_SOURCE_DIR=$here PELLMARK_TEST_TMP=$work/unit
unset PELLMARK_DEBUG PELLMARK_TRACE PELLMARK_FAULTS ASAN_OPTIONS LSAN_OPTIONS
memcheck=(valgrind -q --error-exitcode=99 --leak-check=full --errors-for-leak-kinds=definite
          --track-origins=yes --suppressions="$here/tests/valgrind.supp")
failed=0

# check NAME COMMAND...: one run under memcheck; its output is kept in $work and shown on a
# failure. The program's own status must be 0 as well.
check() {
    local name=$1; shift
    local log=$work/$name.log
    if timeout 600 "${memcheck[@]}" "$@" >"$log" 2>&1 </dev/null; then
        echo "valgrind $name: clean"
    else
        echo "valgrind $name: FAILED (status $?)"
        grep -E '==[0-9]+==|Failure|FAILED' "$log" | head -n 40
        failed=1
    fi
}

# The test programs of the logic and of the layer paths the program takes when printing.
# run_output_test's allocation-failure case replaces malloc, which valgrind does itself.
tests=(options_test line_reader_test overstrike_test paper_tables_test debug_log_test
       spool_check_test devmode_edit_test kernel_layer_test kernel_profile_test
       help_dialog_test abort_dialog_test code_pages_test printer_dc_test
       printer_output_test printer_raw_test pdf_text_test)
for t in "${tests[@]}"; do
    if [ -x "$build/tests/$t" ]; then check "$t" "$build/tests/$t"; fi
done
if [ -x "$build/tests/run_output_test" ]; then
    check run_output_test "$build/tests/run_output_test" --gtest_filter='-*NoMemory*'
fi

# The binary: the help list, sample reports to a PDF printer (overstrike, ruler, OEM text,
# SCRATCH), and a raw line printer with and without pass-through.
mkdir -p "$work/run/out"
cd "$work/run" || exit 1
printf '[devices]\nTestpdf=pdf,%s/out\nLP=raw,%s/out/lp.prn\n' "$PWD" "$PWD" >profile.ini
export PELLMARK_PROFILE=$PWD/profile.ini
cp "$here"/samples/*.txt .
printf 'scratch me\n' >scratch.txt
check help "$build/pellmark"
check pdf "$build/pellmark" -interactive=none -printer_id=Testpdf -log=pdf.log invoice.txt \
    -ruler -orientation=landscape -pitch=9 listing132.txt -ansi stock437.txt \
    -disposition=scratch scratch.txt
check raw "$build/pellmark" -interactive=none -printer_id=LP -log=raw.log invoice.txt -raw \
    manifest.pcl.txt
for f in invoice listing132 stock437; do
    [ -s "out/$f.pdf" ] || { echo "valgrind pdf: out/$f.pdf was not printed"; failed=1; }
done
[ -s out/lp.prn ] || { echo "valgrind raw: nothing reached the line printer"; failed=1; }
exit "$failed"
