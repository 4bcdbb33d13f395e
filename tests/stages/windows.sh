#!/usr/bin/env bash
# The Windows build, proven: both MinGW-w64 targets are built (build-win64, build-win32) and
# their modules checked; then the 64-bit program runs under Wine in a fresh prefix, printing
# into a private CUPS scheduler, and its dialogs are shown on a private X server.
#
# Prints one line per check (ok, FAIL or skip) and exits non-zero when any check failed.
# Everything it starts is stopped on exit; the Wine prefix and the scheduler live in a
# temporary folder that is removed. PELLMARK_JOBS limits the build's parallel jobs.
set -uo pipefail
here=$(cd "$(dirname "$0")/windows" && pwd)
root=$(cd "$here/../../.." && pwd)
build_jobs=${PELLMARK_JOBS:-$(nproc)}
pellmark_exe=$root/build-win64/pellmark.exe
artifacts=$root/build-win64/artifacts

source "$here/checks.sh"
source "$here/build.sh"
source "$here/wine.sh"
source "$here/printing.sh"
source "$here/x11.sh"
source "$root/tests/lib/cupsd.sh"

work=$(mktemp -d /tmp/pmwin.XXXXXX)
cleanup() {
    x11_stop
    wine_stop
    cupsd_stop
    rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 130' INT TERM HUP

section "build and check both targets"
built64=0
build_windows win64 x86_64-w64-mingw32 && built64=1
build_windows win32 i686-w64-mingw32
check_exe "$root/build-win64/pellmark.exe" "x86_64 pellmark.exe"
check_exe "$root/build-win32/pellmark.exe" "i686 pellmark.exe"
skip "i686 programs are not run: this machine cannot execute 32-bit code, not even under Wine"

if [ "$built64" -ne 1 ]; then
    skip "everything under Wine: the x86_64 build failed"
    checks_summary
    exit $?
fi

section "Wine with a private CUPS scheduler"
# The scheduler first: Wine takes its printers from CUPS when the prefix starts.
if ! cupsd_start || ! cupsd_add_raw_queue pmraw || ! cupsd_add_raw_queue pmother ||
    ! lpadmin -d pmraw; then
    fail "private CUPS scheduler with the raw queues pmraw (default) and pmother"
    checks_summary
    exit 1
fi
trap cleanup EXIT  # cupsd_start installed its own
pass "private CUPS scheduler with the raw queues pmraw (default) and pmother"
if ! wine_start_prefix; then
    fail "fresh Wine prefix (wineboot -i)"
    checks_summary
    exit 1
fi
pass "fresh Wine prefix with the null graphics driver"

section "Win32 contract tests under Wine"
check_contract_tests

section "printing under Wine (null graphics driver)"
check_samples
check_styles
check_ruler
check_form_feeds
check_device_mode
check_log_and_printers
check_raw
check_scratch

section "dialogs under Xvfb"
if x11_start; then
    check_help_dialog
    check_print_dialog
else
    fail "Xvfb did not start"
fi

checks_summary
