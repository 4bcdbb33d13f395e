#!/bin/bash
# Large reports through the real binary with flat memory and nothing lost:
#  - a 100 MB line without a line feed to the PDF printer: printed as 511-byte lines, page
#    after page, in the same peak memory as a small report;
#  - a 1 GB report (sparse: NUL bytes with marked lines every 100 MB) to a line printer in
#    text mode: every mark arrives, in order, and memory stays flat.
# The files are made here and removed at the end. Speed is the benchmark's business (bench/);
# the time limits below only catch a hang.
set -euo pipefail
source "$PELLMARK_SOURCE_DIR/tests/e2e/lib/common.sh"
e2e_tmpdir
cd "$E2E_TMP"
unset PELLMARK_DEBUG PELLMARK_TRACE PELLMARK_FAULTS
mkdir out
printf '[devices]\nTestpdf=pdf,%s/out\nLP=raw,%s/out/lp.prn\n' "$E2E_TMP" "$E2E_TMP" >profile.ini
export PELLMARK_PROFILE="$E2E_TMP/profile.ini"
# Under AddressSanitizer freed blocks wait in a quarantine, which looks like growth.
export ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}quarantine_size_mb=1"

if [[ ! -x /usr/bin/time ]]; then
    echo "note: /usr/bin/time is missing; memory is not measured"
fi
# peak_kb ARGS: runs the binary, sets E2E_STATUS and PEAK_KB (0 when not measured).
peak_kb() {
    PEAK_KB=0
    set +e
    if [[ -x /usr/bin/time ]]; then
        /usr/bin/time -f '%M' -o peak.txt timeout 600 "$PELLMARK" "$@" </dev/null >/dev/null 2>err.txt
        E2E_STATUS=$?
        PEAK_KB=$(tail -n 1 peak.txt)
    else
        timeout 600 "$PELLMARK" "$@" </dev/null >/dev/null 2>err.txt
        E2E_STATUS=$?
    fi
    set -e
}
# assert_flat NOTE SMALL_KB LARGE_KB: the large run needs at most 4 MiB more.
assert_flat() {
    echo "$1: peak RSS $2 KiB small, $3 KiB large"
    if (($3 <= $2 + 4096)); then e2e_pass; else
        e2e_fail "$1" "peak RSS within 4096 KiB of ${2} KiB" "${3} KiB"
    fi
}

# One line of 100 MB without a line feed, to PDF.
head -c 1000000 /dev/zero | tr '\0' 'x' >small.txt
peak_kb -interactive=none -printer_id=Testpdf small.txt
assert_eq 0 "$E2E_STATUS" "small line: exit status"
small_pdf_kb=$PEAK_KB
head -c 100000000 /dev/zero | tr '\0' 'x' >long.txt
peak_kb -interactive=none -printer_id=Testpdf -disposition=scratch long.txt
assert_eq 0 "$E2E_STATUS" "100 MB line: exit status"
assert_flat "100 MB line: memory" "$small_pdf_kb" "$PEAK_KB"
assert_no_file long.txt "100 MB line: printed, so SCRATCH deleted it"
# 100000000 bytes make 195694 full lines of 511 and one of 366; a page holds the same number
# of lines as page 1 of the small report, whose 1957 lines overflow it.
lines=$(( (100000000 + 510) / 511 ))
per_page=$(pdftotext -f 1 -l 1 out/small.pdf - | grep -c x || true)
pages=$(pdfinfo out/long.pdf | awk '/^Pages:/ {print $2}')
assert_eq $(( (lines + per_page - 1) / per_page )) "$pages" "100 MB line: pages ($per_page lines each)"
rm -f out/long.pdf

# A 1 GB report, to a line printer: the text of each line comes out as a line.
truncate -s 1000000000 huge.txt
marks=()
for i in 0 1 2 3 4 5 6 7 8 9; do
    printf '\nMARK %d\n' "$i" | dd of=huge.txt bs=1 seek=$((i * 100000000 + 12345)) conv=notrunc \
        status=none
    marks+=("MARK $i")
done
truncate -s 1000000 tiny.txt
peak_kb -interactive=none -printer_id=LP tiny.txt
tiny_kb=$PEAK_KB
peak_kb -interactive=none -printer_id=LP huge.txt
assert_eq 0 "$E2E_STATUS" "1 GB: exit status"
assert_not_contains "$(cat err.txt)" "returned" "1 GB: no message box"
assert_flat "1 GB: memory" "$tiny_kb" "$PEAK_KB"
assert_eq "$(printf '%s\n' "${marks[@]}")" "$(grep -a MARK out/lp.prn)" "1 GB: every mark, in order"
rm -f huge.txt out/lp.prn

e2e_finish
