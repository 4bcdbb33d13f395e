# End-to-end printing under Wine: pellmark.exe prints into raw CUPS queues whose capture
# backend keeps Wine's PostScript, which the checks read directly and through ps2pdf,
# pdftotext and pdffonts. Every run has its own folder under $work/runs with the debug log on.

# print_run NAME ARGS...: runs pellmark.exe with ARGS in $work/runs/NAME (the caller puts the
# report files there first) and collects the jobs it printed. Sets run_dir, wine_status and
# run_jobs (the captured documents, in job order, moved to $run_dir/jobs).
print_run() {
    local name=$1
    shift
    run_dir=$work/runs/$name
    mkdir -p "$run_dir/jobs"
    PELLMARK_DEBUG=debug.log wine_run "$run_dir" 90 "$pellmark_exe" "$@"
    print_collect_jobs
}

# Waits (at most 30 s) until the scheduler has no pending job, then moves every captured
# document of every queue into $run_dir/jobs as QUEUE-job-N (+ .args).
print_collect_jobs() {
    local i file queue number
    for i in $(seq 1 150); do
        [ -z "$(lpstat -o 2>/dev/null)" ] && break
        sleep 0.2
    done
    run_jobs=()
    # "number queue" per captured document, in job order.
    while read -r number queue; do
        file=$CUPSD_CAPTURE/$queue/job-$number
        mv "$file" "$run_dir/jobs/$queue-job-$number"
        mv "$file.args" "$run_dir/jobs/$queue-job-$number.args" 2>/dev/null
        run_jobs+=("$run_dir/jobs/$queue-job-$number")
    done < <(cd "$CUPSD_CAPTURE" && ls -d -- */job-* 2>/dev/null |
        sed -nE 's#^([^/]+)/job-([0-9]+)$#\2 \1#p' | sort -n)
}

# job_arg JOB KEY: a value the backend was given (copies, title, options).
job_arg() { sed -n "s/^$2=//p" "$1.args" 2>/dev/null; }

# to_pdf JOB: JOB.pdf and JOB.txt (pdftotext -layout); status 1 when ghostscript fails.
to_pdf() {
    timeout 120 ps2pdf "$1" "$1.pdf" >"$1.ps2pdf.log" 2>&1 &&
        timeout 60 pdftotext -layout "$1.pdf" "$1.txt"
}

pdf_pages() { pdfinfo "$1" 2>/dev/null | sed -nE 's/^Pages:[[:space:]]+//p'; }

# The ruler's ticks in Wine's PostScript: "x y moveto", "x y2 lineto", "stroke" with nothing
# else between, printed as "x y length" lines.
ruler_ticks() {
    awk '/^-?[0-9]+ -?[0-9]+ moveto$/ { x = $1; y = $2; state = 1; next }
         state == 1 && /^-?[0-9]+ -?[0-9]+ lineto$/ { x2 = $1; y2 = $2; state = 2; next }
         state == 2 && /^stroke$/ { if (x2 == x) print x, y, y2 - y; state = 0; next }
         { state = 0 }' "$1"
}

# Underlined runs: Wine draws each underline as a filled polygon after the text.
underline_bars() { grep -c '^%PolyPolygon' "$1"; }

# expect_run_ok LABEL: exit status 0 and the given number of jobs.
expect_run_ok() {
    expect_eq "$1: exit status" 0 "$wine_status"
    expect_eq "$1: documents printed" "$2" "${#run_jobs[@]}"
}

plain_job=""  # the invoice printed with the printer's defaults, for contrast

# Every sample report, printed with the options it needs to fit the page, against its own
# debug log: the same pages, the same lines, the faces its overstrike asks for.
check_samples() {
    local row sample options encoding note
    # sample | options | code page of its bytes | why these options
    local table=(
        "invoice.txt|-pitch=10|cp1252|72 columns with bold and underlined headings, ANSI accents"
        "listing132.txt|-orientation=landscape -pitch=8|cp1252|132 columns over several pages with form feeds"
        "stock437.txt|-ansi -pitch=10|cp437|OEM box drawing translated to ANSI"
    )
    for row in "${table[@]}"; do
        IFS='|' read -r sample options encoding note <<<"$row"
        if [ ! -f "$root/samples/$sample" ]; then
            fail "sample $sample ($note): no such file in samples/"
            continue
        fi
        mkdir -p "$work/runs/sample-$sample"
        cp "$root/samples/$sample" "$work/runs/sample-$sample/"
        # shellcheck disable=SC2086
        print_run "sample-$sample" $options "$sample"
        local label="sample $sample $options"
        expect_run_ok "$label" 1
        [ "${#run_jobs[@]}" -eq 1 ] || continue
        local job=${run_jobs[0]}
        [ "$sample" = invoice.txt ] && plain_job=$job
        expect_eq "$label: document name" "$sample" "$(job_arg "$job" title)"
        if ! to_pdf "$job"; then
            fail "$label: ps2pdf could not read the PostScript: $(tail -n 2 "$job.ps2pdf.log")"
            continue
        fi
        local compared
        if compared=$(python3 "$here/report_pages.py" "$run_dir/debug.log" "$job.txt" "$encoding"); then
            pass "$label: pages and lines as the debug log announces ($(tail -n 1 <<<"$compared"))"
        else
            fail "$label: printed text differs from the debug log:"
            sed 's/^/        /' <<<"$compared"
        fi
        check_faces "$label" "$job" "$run_dir/debug.log"
    done
}

# check_faces LABEL JOB LOG: a bold face is used exactly when the log shows c BS c, and
# underlines are drawn exactly when it shows c BS _.
check_faces() {
    local label=$1 job=$2 log=$3 fonts bars
    fonts=$(pdffonts "$job.pdf" 2>/dev/null | tail -n +3 | awk '{print $1}' | sed 's/^[A-Z]*+//')
    bars=$(underline_bars "$job")
    if LC_ALL=C grep -aqP 'GetLine returned .*([^_\x08])\x08\1' "$log"; then
        if grep -q 'Bold' <<<"$fonts"; then pass "$label: bold runs in a bold face"; else
            fail "$label: expected a bold face for the bold runs, got fonts: $(tr '\n' ' ' <<<"$fonts")"; fi
    elif grep -q 'Bold' <<<"$fonts"; then
        fail "$label: expected no bold face (no bold in the report), got: $(tr '\n' ' ' <<<"$fonts")"
    fi
    if LC_ALL=C grep -aqP 'GetLine returned .*([^\x08]\x08_|_\x08[^\x08])' "$log"; then
        if [ "$bars" -gt 0 ]; then pass "$label: underlined runs drawn underlined ($bars bars)"; else
            fail "$label: expected underline bars for the underlined runs, got none"; fi
    elif [ "$bars" -gt 0 ]; then
        fail "$label: expected no underline (none in the report), got $bars bars"
    fi
}

# Bold, underlined and bold underlined runs on one line: their faces and bars.
check_styles() {
    mkdir -p "$work/runs/styles"
    printf 'plain B\bBO\bOL\bLD u\b_n\b_d\b_e\b_r\b_ x\bx\b_y\b_\by\n' >"$work/runs/styles/styles.txt"
    print_run styles -pitch=10 styles.txt
    expect_run_ok "styles" 1
    [ "${#run_jobs[@]}" -eq 1 ] || return
    local job=${run_jobs[0]} fonts
    to_pdf "$job" || { fail "styles: ps2pdf failed"; return; }
    expect_eq "styles: printed text" "plain BOLD under xy" "$(tr -s ' \n\f' ' ' <"$job.txt" | sed 's/^ //;s/ $//')"
    fonts=$(pdffonts "$job.pdf" | tail -n +3 | awk '{print $1}' | sed 's/^[A-Z]*+//' | sort -u | tr '\n' ' ')
    expect_eq "styles: faces (regular for plain and underlined, bold for bold)" \
        "LiberationMono LiberationMono-Bold " "$fonts"
    expect_eq "styles: underline bars (the underlined and the bold underlined run)" 2 "$(underline_bars "$job")"
    expect_eq "styles: no ruler ticks without -ruler" 0 "$(ruler_ticks "$job" | wc -l)"
}

# -ruler: a ruler at the top of the page and one below the last line, ticks every 10 units,
# long (20) every 50 from x = 0, short (10) between.
check_ruler() {
    mkdir -p "$work/runs/ruler"
    printf 'one line\n' >"$work/runs/ruler/ruler.txt"
    print_run ruler -ruler -pitch=10 ruler.txt
    expect_run_ok "ruler" 1
    [ "${#run_jobs[@]}" -eq 1 ] || return
    local ticks rulers bad
    ticks=$(ruler_ticks "${run_jobs[0]}")
    rulers=$(awk '{print $2}' <<<"$ticks" | sort -un | tr '\n' ' ')
    expect_eq "ruler: rulers at y (top, below the one line)" 2 "$(wc -w <<<"$rulers")"
    expect_eq "ruler: the first at the top of the page" 0 "${rulers%% *}"
    bad=$(awk '{ want = ($1 % 50 == 0) ? 20 : 10; if ($1 % 10 != 0 || $3 != want) print }' <<<"$ticks" | head -n 3)
    expect_eq "ruler: tick lengths (20 every 50, 10 every 10)" "" "$bad"
    local per
    per=$(awk '{n[$2]++} END {for (y in n) print n[y]}' <<<"$ticks" | sort -u | tr '\n' ' ')
    if [ "$(wc -w <<<"$per")" -eq 1 ] && [ "${per% }" -ge 150 ]; then
        pass "ruler: both rulers span the printable width (${per% } ticks each)"
    else
        fail "ruler: expected the same count of at least 150 ticks on each ruler, got: $per"
    fi
}

# Leading form feeds start no page; a form feed after text ends its page.
check_form_feeds() {
    mkdir -p "$work/runs/formfeed"
    printf '\f\fabc\n' >"$work/runs/formfeed/lead.txt"
    print_run formfeed -pitch=10 lead.txt
    expect_run_ok "leading form feeds" 1
    expect_eq "leading form feeds: skipped, one log line each" 2 \
        "$(grep -c '^Skipping initial FORM_FEED' "$run_dir/debug.log" 2>/dev/null)"
    [ "${#run_jobs[@]}" -eq 1 ] || return
    to_pdf "${run_jobs[0]}" || { fail "leading form feeds: ps2pdf failed"; return; }
    expect_eq "leading form feeds: pages" 1 "$(pdf_pages "${run_jobs[0]}.pdf")"
    expect_eq "leading form feeds: abc on the first page" "abc" "$(tr -d ' \n\f' <"${run_jobs[0]}.txt")"
}

# -copies, -orientation=landscape and -form_id reach Wine's device mode and its PostScript.
check_device_mode() {
    mkdir -p "$work/runs/devmode"
    printf 'copies landscape letter\n' >"$work/runs/devmode/dm.txt"
    print_run devmode -copies=2 -orientation=landscape -form_id=Letter -pitch=10 dm.txt
    expect_run_ok "device mode" 1
    [ "${#run_jobs[@]}" -eq 1 ] || return
    local job=${run_jobs[0]}
    expect_eq "-copies=2: copies the spooler asks for" 2 "$(job_arg "$job" copies)"
    expect_grep "-orientation=landscape: landscape PostScript" "$job" '^%%Orientation: Landscape'
    expect_grep "-form_id=Letter: Letter paper" "$job" '^%%BeginFeature: \*PageSize Letter'
    expect_grep "-form_id=Letter: the spooler's media" "$job.args" 'media=Letter'
    # The defaults, for contrast: one copy, portrait, the printer's A4.
    local plain=$plain_job
    if [ -n "$plain" ]; then
        expect_eq "defaults: one copy" 1 "$(job_arg "$plain" copies)"
        expect_grep "defaults: portrait" "$plain" '^%%Orientation: Portrait'
        expect_grep "defaults: the printer's A4" "$plain" '^%%BeginFeature: \*PageSize A4'
    fi
}

# The debug log's lines for the default printer, -printer_id, a missing report, and -raw.
check_log_and_printers() {
    mkdir -p "$work/runs/printers"
    printf 'to the other queue\n' >"$work/runs/printers/other.txt"
    print_run printers -printer_id=pmother other.txt missing.txt
    expect_run_ok "-printer_id=pmother" 1
    expect_eq "-printer_id=pmother: printed on that queue" "pmother" \
        "$(basename "${run_jobs[0]:-none-}" | sed 's/-job-.*//')"
    local log=$run_dir/debug.log
    expect_no_grep "-printer_id: no default printer lookup" "$log" '^NULL printer_id'
    expect_grep "debug log: CreateDC line" "$log" '^CreateDC returned [1-9][0-9]* given a DevMode = [0-9a-f]+.?$'
    expect_grep "debug log: page line" "$log" '^Printing other\.txt \(page 1\).?$'
    expect_grep "debug log: end of file" "$log" '^GetLine found CTL_EOF.?$'
    expect_grep "debug log: a missing report" "$log" '^lopen\(missing\.txt\) failed because of error 2.?$'
    local first=$work/runs/sample-invoice.txt/debug.log
    expect_grep "debug log: the default printer is CUPS's default" "$first" \
        '^NULL printer_id specified, using default of pmraw,wineps\.drv,CUPS:pmraw.?$'
}

# -raw: the report's bytes go through the PASSTHROUGH escape into Wine's PostScript as they
# are, PCL escapes and all.
check_raw() {
    local sample=manifest.pcl.txt
    if [ ! -f "$root/samples/$sample" ]; then
        fail "-raw: no samples/$sample"
        return
    fi
    mkdir -p "$work/runs/raw"
    cp "$root/samples/$sample" "$work/runs/raw/"
    print_run raw -raw "$sample"
    expect_run_ok "-raw $sample" 1
    [ "${#run_jobs[@]}" -eq 1 ] || return
    expect_no_grep "-raw: PASSTHROUGH supported" "$run_dir/debug.log" '^PASSTHROUGH not supported'
    local line missing=0
    while IFS= read -r line; do
        line=${line%$'\r'}
        line=${line#$'\f'}
        [ -n "$line" ] || continue
        grep -aqF -- "$line" "${run_jobs[0]}" || { missing=$((missing + 1)); [ "$missing" -eq 1 ] && echo "        first line not found: $(cat -v <<<"$line")"; }
    done <"$root/samples/$sample"
    expect_eq "-raw: every line of the report in the PostScript byte for byte" 0 "$missing"
}

# SCRATCH deletes the printed reports and the configuration file, nothing before the option.
check_scratch() {
    local dir=$work/runs/scratch
    mkdir -p "$dir"
    printf 'kept\n' >"$dir/keep.txt"
    printf 'gone one\n' >"$dir/gone1.txt"
    printf 'gone two\n' >"$dir/gone2.txt"
    printf -- '-pitch=10\n' >"$dir/opts.cfg"
    print_run scratch keep.txt -disposition=scratch -config=opts.cfg gone1.txt gone2.txt
    expect_run_ok "scratch" 3
    local left
    left=$(cd "$dir" && ls keep.txt gone1.txt gone2.txt opts.cfg 2>/dev/null | tr '\n' ' ')
    expect_eq "scratch: only the report printed before the option is left" "keep.txt " "$left"
}
