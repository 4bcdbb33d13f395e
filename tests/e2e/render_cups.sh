#!/bin/bash
# The sample reports through a real private CUPS scheduler: the invoice to a PDF queue (the
# captured job is the report's PDF, text on the grid) and the PCL manifest with -raw to a raw
# queue (the captured job holds the report's bytes unchanged).
set -euo pipefail
source "$PELLMARK_SOURCE_DIR/tests/e2e/lib/common.sh"
source "$PELLMARK_SOURCE_DIR/tests/e2e/lib/render.sh"
source "$PELLMARK_SOURCE_DIR/tests/lib/cupsd.sh"
e2e_tmpdir
dir=$E2E_TMP
cd "$dir"
: >profile.ini
export PELLMARK_PROFILE="$dir/profile.ini"
unset PELLMARK_FAULTS
if ! cupsd_start; then
    echo "note: no CUPS scheduler can be started here; nothing tested"
    exit 0
fi
trap 'cupsd_stop; rm -rf "$dir"' EXIT
cupsd_add_pdf_queue Office
cupsd_add_raw_queue Lineprinter

# Stops a run that would hang rather than the whole test.
limited_run() {
    rm -f log.txt trace.jsonl
    set +e
    PELLMARK_DEBUG="$dir/log.txt" PELLMARK_TRACE="$dir/trace.jsonl" timeout 120 "$PELLMARK" "$@" \
        </dev/null >stdout.txt 2>stderr.txt
    E2E_STATUS=$?
    set -e
}

# The scheduler's job number, which StartDocA returned.
job_id() { calls StartDocA:ret | sed 's/.*ret=//'; }

cp "$PELLMARK_SOURCE_DIR/samples/invoice.txt" invoice.txt
limited_run -interactive=none -printer_id=Office -disposition=scratch invoice.txt
assert_eq 0 "$E2E_STATUS" "PDF queue: exit status"
assert_eq "" "$(cat stderr.txt)" "PDF queue: no message"
assert_no_file invoice.txt "PDF queue: printed, so SCRATCH deleted it"
job=$(cupsd_wait_capture Office "$(job_id)") || job=/missing
assert_eq 1 "$(pdfinfo "$job" 2>&1 | awk '/^Pages:/{print $2}')" "PDF queue: one page arrives"
pdftotext -bbox "$job" invoice.html 2>/dev/null || true
assert_eq "" "$(python3 "$PELLMARK_SOURCE_DIR/tests/e2e/lib/grid_check.py" invoice.html \
    "$PELLMARK_SOURCE_DIR/samples/invoice.txt")" "PDF queue: the text on the grid"
assert_contains "$(pdffonts "$job" 2>&1)" "Bold" "PDF queue: bold face"

cp "$PELLMARK_SOURCE_DIR/samples/manifest.pcl.txt" manifest.txt
limited_run -interactive=none -printer_id=Lineprinter -raw manifest.txt
assert_eq 0 "$E2E_STATUS" "raw queue: exit status"
assert_not_contains "$(cat log.txt)" "PASSTHROUGH not supported" "raw queue: takes raw bytes"
job=$(cupsd_wait_capture Lineprinter "$(job_id)") || job=/missing
if cmp -s "$PELLMARK_SOURCE_DIR/samples/manifest.pcl.txt" "$job"; then e2e_pass; else
    e2e_fail "raw queue: the report's bytes arrive unchanged" \
        "$(od -c "$PELLMARK_SOURCE_DIR/samples/manifest.pcl.txt" | head -n 2)" \
        "$(od -c "$job" 2>&1 | head -n 2)"
fi

e2e_finish
