#!/bin/bash
# Output that cannot be written: a printer folder that is not a folder, a read-only folder, a
# full disk (a small tmpfs, and a file size limit). Each run ends with status 0 and a message
# box on stderr, leaves no partial document behind, and keeps the report in spite of SCRATCH.
# Root ignores permissions, so the read-only folder and the small disk are mounted tmpfs
# folders where that is allowed; where it is not, the case says so and is skipped.
set -euo pipefail
source "$PELLMARK_SOURCE_DIR/tests/e2e/lib/common.sh"
e2e_tmpdir
cd "$E2E_TMP"
unset PELLMARK_DEBUG PELLMARK_TRACE PELLMARK_FAULTS
mounts=()
# shellcheck disable=SC2064
trap 'for m in "${mounts[@]}"; do umount "$m" 2>/dev/null || true; done; rm -rf "$E2E_TMP"' EXIT

mkdir out ro small lp
touch a_file
cat >profile.ini <<INI
[devices]
Testpdf=pdf,$E2E_TMP/out
UnderFile=pdf,$E2E_TMP/a_file/sub
ReadOnly=pdf,$E2E_TMP/ro
Small=pdf,$E2E_TMP/small
LP=raw,$E2E_TMP/lp/lp.prn
INI
export PELLMARK_PROFILE="$E2E_TMP/profile.ini"
# About 300 pages of varied text: well over 64 KiB of PDF.
seq 1 20000 | awk '{printf "%08d ledger %d balance %d.%02d\n", $1, $1 * 7919 % 100003, $1 * 31, $1 % 100}' >report.txt

# mount_tmpfs DIR OPTIONS: true when a tmpfs could be mounted there.
mount_tmpfs() {
    [[ $(id -u) -eq 0 ]] || return 1
    mount -t tmpfs -o "$2" tmpfs "$1" 2>/dev/null || return 1
    mounts+=("$1")
}

# check_refused NOTE PRINTER MESSAGE FOLDER [ulimit-blocks]: prints report.txt with SCRATCH.
check_refused() {
    local note=$1 printer=$2 message=$3 folder=$4 limit=${5:-unlimited}
    set +e
    (ulimit -f "$limit" && timeout 120 "$PELLMARK" -interactive=none -printer_id="$printer" \
        -disposition=scratch report.txt </dev/null >stdout.txt 2>stderr.txt)
    local status=$?
    set -e
    assert_eq 0 "$status" "$note: exit status"
    assert_contains "$(cat stderr.txt)" "$message" "$note: message box"
    assert_file report.txt "$note: SCRATCH keeps the report"
    assert_files_in "$folder" "" "$note: no partial document"
}

check_refused "folder under a file" UnderFile "StartDoc returned -1" out

if [[ $(id -u) -ne 0 ]]; then
    chmod 0555 ro
    check_refused "read-only folder" ReadOnly "StartDoc returned -1" ro
elif mount_tmpfs ro ro,size=1m; then
    check_refused "read-only folder" ReadOnly "StartDoc returned -1" ro
else
    echo "note: read-only folder not tested: root, and no tmpfs can be mounted"
fi

if mount_tmpfs small size=64k; then
    check_refused "full disk" Small "(Out of disk)" small
else
    echo "note: full tmpfs not tested: no tmpfs can be mounted"
fi

# A file size limit of 64 KiB: the write fails with EFBIG instead of the process being
# stopped by SIGXFSZ, and the disk counts as full.
check_refused "file size limit" Testpdf "(Out of disk)" out 64
check_refused "file size limit, line printer" LP "(Out of disk)" lp 64

# The same printer prints once the disk has room again.
rm -f out/*
timeout 120 "$PELLMARK" -interactive=none -printer_id=Testpdf report.txt </dev/null >/dev/null 2>&1
assert_files_in out "report.pdf" "afterwards: the report prints"

e2e_finish
