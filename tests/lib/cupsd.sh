#!/usr/bin/env bash
# A private CUPS scheduler for tests: its own configuration, spool, logs and a unix socket
# under one temporary folder, so it never touches the machine's print service.
#
# Source it (also under `set -euo pipefail`) and call:
#   cupsd_start                 start the scheduler; exports CUPS_SERVER, CUPSD_DIR and
#                               CUPSD_CAPTURE; it is stopped when the shell exits (it sets
#                               the EXIT, INT, TERM and HUP traps: a script that sets its own
#                               afterwards calls cupsd_stop from it)
#   cupsd_add_pdf_queue NAME    a queue that passes PDF documents through unchanged
#   cupsd_add_raw_queue NAME    a raw queue ("Local Raw Printer")
#   cupsd_stop                  stop the scheduler and remove its folder
# Every queue prints with a capture backend: job N's document lands in
# $CUPSD_CAPTURE/NAME/job-N (written whole, then renamed into place), and the backend's
# arguments (copies and job options) in $CUPSD_CAPTURE/NAME/job-N.args.
#
# Run as a program, `cupsd.sh serve [QUEUE=pdf|raw ...]` starts a scheduler with those
# queues, prints its CUPS_SERVER=, CUPSD_DIR= and CUPSD_CAPTURE= lines and "ready", and
# stops the scheduler when its standard input closes: a test process that dies takes the
# scheduler with it.

CUPSD_PID=""

# The system's CUPS programs: filters and helpers are linked into our own ServerBin.
cupsd_system_bin() {
    local d
    for d in /usr/lib/cups /usr/libexec/cups; do
        [ -x "$d/daemon/cups-exec" ] && { echo "$d"; return 0; }
    done
    return 1
}

cupsd_write_config() {
    local dir=$1
    cat >"$dir/conf/cups-files.conf" <<CONF
ServerRoot $dir/conf
RequestRoot $dir/spool
TempDir $dir/tmp
CacheDir $dir/cache
StateDir $dir/state
ServerBin $dir/bin
DataDir /usr/share/cups
DocumentRoot /usr/share/cups/doc-root
AccessLog $dir/log/access_log
ErrorLog $dir/log/error_log
PageLog $dir/log/page_log
Printcap $dir/printcap
FileDevice No
CONF
    if [ "$(id -u)" -ne 0 ]; then
        echo "SystemGroup $(id -gn)" >>"$dir/conf/cups-files.conf"
    fi
    cat >"$dir/conf/cupsd.conf" <<CONF
Listen $dir/sock
LogLevel debug
MaxLogSize 0
Browsing No
BrowseLocalProtocols none
WebInterface No
DefaultShared No
PreserveJobFiles Yes
PreserveJobHistory Yes
DefaultAuthType None
<Location />
  Order allow,deny
  Allow all
</Location>
<Policy default>
  JobPrivateAccess all
  JobPrivateValues none
  SubscriptionPrivateAccess all
  SubscriptionPrivateValues none
  <Limit All>
    Order allow,deny
    Allow all
  </Limit>
</Policy>
CONF
}

# The capture backend: copies the document to the folder its device URI names.
cupsd_write_backend() {
    local file=$1
    cat >"$file" <<'SH'
#!/bin/sh
# capture:/folder — keeps each job's document and arguments for the test to inspect.
umask 022
if [ $# -eq 0 ]; then
    echo 'direct capture "Unknown" "Test capture"'
    exit 0
fi
dir=${DEVICE_URI#capture:}
out="$dir/job-$1"
printf 'copies=%s\noptions=%s\ntitle=%s\n' "$4" "$5" "$3" >"$out.args.part"
if [ -n "$6" ]; then cat "$6" >"$out.part"; else cat >"$out.part"; fi || exit 1
mv "$out.args.part" "$out.args" && mv "$out.part" "$out"
SH
    # Owned by the user who runs the scheduler and private to it: as root the scheduler
    # then runs it as root, so it can write the capture folder.
    chmod 0700 "$file"
}

cupsd_write_ppd() {
    cat >"$1" <<'PPD'
*PPD-Adobe: "4.3"
*FormatVersion: "4.3"
*FileVersion: "1.0"
*LanguageVersion: English
*LanguageEncoding: ISOLatin1
*PCFileName: "PMPDF.PPD"
*Manufacturer: "Test"
*Product: "(Capture PDF)"
*ModelName: "Capture PDF"
*ShortNickName: "Capture PDF"
*NickName: "Capture PDF"
*PSVersion: "(3010.000) 0"
*LanguageLevel: "3"
*ColorDevice: True
*DefaultColorSpace: RGB
*FileSystem: False
*Throughput: "1"
*LandscapeOrientation: Plus90
*TTRasterizer: Type42
*cupsFilter2: "application/pdf application/pdf 0 -"
*OpenUI *PageSize/Media Size: PickOne
*OrderDependency: 10 AnySetup *PageSize
*DefaultPageSize: A4
*PageSize Letter/US Letter: "<</PageSize[612 792]>>setpagedevice"
*PageSize A4/A4: "<</PageSize[595 842]>>setpagedevice"
*CloseUI: *PageSize
*OpenUI *PageRegion/Media Size: PickOne
*OrderDependency: 10 AnySetup *PageRegion
*DefaultPageRegion: A4
*PageRegion Letter/US Letter: "<</PageSize[612 792]>>setpagedevice"
*PageRegion A4/A4: "<</PageSize[595 842]>>setpagedevice"
*CloseUI: *PageRegion
*DefaultImageableArea: A4
*ImageableArea Letter/US Letter: "18 36 594 756"
*ImageableArea A4/A4: "18 36 577 806"
*DefaultPaperDimension: A4
*PaperDimension Letter/US Letter: "612 792"
*PaperDimension A4/A4: "595 842"
PPD
}

# Starts the scheduler and waits until it answers. Fails (status 1, reason on stderr) when
# cupsd is missing or does not come up.
cupsd_start() {
    local sys
    command -v cupsd >/dev/null 2>&1 || PATH=$PATH:/usr/sbin:/sbin
    if ! command -v cupsd >/dev/null 2>&1 || ! sys=$(cupsd_system_bin); then
        echo "cupsd.sh: cupsd is not installed" >&2
        return 1
    fi
    # Short: the socket path must fit a sockaddr_un.
    CUPSD_DIR=$(mktemp -d /tmp/pmcups.XXXXXX) || return 1
    chmod 0755 "$CUPSD_DIR"
    mkdir -p "$CUPSD_DIR"/{conf/ppd,spool/tmp,tmp,cache,state,log,capture,bin/backend}
    chmod 0755 "$CUPSD_DIR"/{conf,spool,capture}
    chmod 1777 "$CUPSD_DIR"/tmp
    local sub
    for sub in filter daemon notifier monitor cgi-bin driver; do
        [ -d "$sys/$sub" ] && ln -s "$sys/$sub" "$CUPSD_DIR/bin/$sub"
    done
    cupsd_write_backend "$CUPSD_DIR/bin/backend/capture"
    cupsd_write_config "$CUPSD_DIR"
    export CUPS_SERVER=$CUPSD_DIR/sock CUPSD_DIR CUPSD_CAPTURE=$CUPSD_DIR/capture
    cupsd -f -c "$CUPSD_DIR/conf/cupsd.conf" -s "$CUPSD_DIR/conf/cups-files.conf" \
        >"$CUPSD_DIR/log/cupsd.out" 2>&1 </dev/null &
    CUPSD_PID=$!
    trap cupsd_stop EXIT
    trap 'cupsd_stop; exit 130' INT TERM HUP
    local i
    for i in $(seq 1 100); do
        if [ -S "$CUPS_SERVER" ] && lpstat -r >/dev/null 2>&1; then return 0; fi
        kill -0 "$CUPSD_PID" 2>/dev/null || break
        sleep 0.1
    done
    echo "cupsd.sh: the scheduler did not start; its log:" >&2
    cat "$CUPSD_DIR/log/cupsd.out" "$CUPSD_DIR/log/error_log" 2>/dev/null | tail -n 30 >&2
    cupsd_stop
    return 1
}

# Stops the scheduler (if this shell started one) and removes its folder. Safe to call twice.
cupsd_stop() {
    if [ -n "$CUPSD_PID" ]; then
        kill "$CUPSD_PID" 2>/dev/null || true
        local i
        for i in $(seq 1 50); do
            kill -0 "$CUPSD_PID" 2>/dev/null || break
            sleep 0.1
        done
        kill -9 "$CUPSD_PID" 2>/dev/null || true
        wait "$CUPSD_PID" 2>/dev/null || true
        CUPSD_PID=""
    fi
    if [ -n "${CUPSD_DIR:-}" ] && [ -z "${CUPSD_KEEP:-}" ]; then
        rm -rf "$CUPSD_DIR"
    fi
    CUPSD_DIR=""
}

cupsd_queue_capture() {
    mkdir -p "$CUPSD_CAPTURE/$1" && chmod 0777 "$CUPSD_CAPTURE/$1"
}

# lpadmin warns that PPDs and raw queues are deprecated; the warning is harmless.
cupsd_add_pdf_queue() {
    cupsd_queue_capture "$1" || return 1
    cupsd_write_ppd "$CUPSD_DIR/$1.ppd"
    lpadmin -p "$1" -v "capture:$CUPSD_CAPTURE/$1" -P "$CUPSD_DIR/$1.ppd" -E 2>/dev/null ||
        lpadmin -p "$1" -v "capture:$CUPSD_CAPTURE/$1" -P "$CUPSD_DIR/$1.ppd" -E
}

cupsd_add_raw_queue() {
    cupsd_queue_capture "$1" || return 1
    lpadmin -p "$1" -v "capture:$CUPSD_CAPTURE/$1" -m raw -E 2>/dev/null ||
        lpadmin -p "$1" -v "capture:$CUPSD_CAPTURE/$1" -m raw -E
}

# Waits up to `seconds` (default 20) for job N of QUEUE to land; prints its path.
cupsd_wait_capture() {
    local file=$CUPSD_CAPTURE/$1/job-$2 i
    for i in $(seq 1 $((${3:-20} * 10))); do
        [ -f "$file" ] && { echo "$file"; return 0; }
        sleep 0.1
    done
    echo "cupsd.sh: job $2 of $1 did not arrive; scheduler log:" >&2
    grep -E "\[Job $2\]" "$CUPSD_DIR/log/error_log" 2>/dev/null | tail -n 20 >&2
    return 1
}

# The program form: `cupsd.sh serve NAME=pdf NAME=raw ... [default=NAME]`.
cupsd_serve() {
    cupsd_start || exit 1
    local entry
    for entry in "$@"; do
        case $entry in
        default=*) lpadmin -d "${entry#default=}" || exit 1 ;;
        *=pdf) cupsd_add_pdf_queue "${entry%=pdf}" || exit 1 ;;
        *=raw) cupsd_add_raw_queue "${entry%=raw}" || exit 1 ;;
        *) echo "cupsd.sh: unknown queue entry $entry" >&2; exit 2 ;;
        esac
    done
    echo "CUPS_SERVER=$CUPS_SERVER"
    echo "CUPSD_DIR=$CUPSD_DIR"
    echo "CUPSD_CAPTURE=$CUPSD_CAPTURE"
    echo "ready"
    # Until the test closes our input (or dies).
    cat >/dev/null
    exit 0
}

if [ "${BASH_SOURCE[0]}" = "$0" ] && [ "${1:-}" = serve ]; then
    shift
    cupsd_serve "$@"
fi
