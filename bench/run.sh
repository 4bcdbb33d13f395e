#!/usr/bin/env bash
# Prints a line-printer report with Pellmark (to the built-in PDF printer) and, on the same
# input in the same run, with enscript, a2ps and cups-filters' texttopdf; prints per tool the
# median wall time of RUNS runs, the peak resident set size, the output size and page count,
# and Pellmark's ratios to each peer.
#
#     bench/run.sh [LINES ...]        default: 100000
#
# Pellmark's PDF printer writes PDF directly; the row "pellmark-cairo" prints the same report
# through cairo (PELLMARK_PDF_ENGINE=cairo) for reference. A further row, "direct-pdf", runs
# bench/pdf_text_bench: the reader and decoder driving the PDF text writer without the
# platform calls in between.
#
# Environment: PELLMARK (the binary; default build-bench/pellmark, built here in Release;
# pdf_text_bench is looked for in the bench/ folder beside it),
# BENCH_DIR (work folder for corpora and output; default build-bench/corpora), RUNS (default 3).
# The corpora are generated into BENCH_DIR and never committed. The peers are installed with
# apt when missing; they are only needed here.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
RUNS=${RUNS:-3}
BENCH_DIR=${BENCH_DIR:-$here/build-bench/corpora}
sizes=("$@")
[ ${#sizes[@]} -gt 0 ] || sizes=(100000)

need=()
command -v enscript >/dev/null || need+=(enscript)
command -v a2ps >/dev/null || need+=(a2ps)
[ -x /usr/lib/cups/filter/texttopdf ] || need+=(cups-filters)
[ -x /usr/bin/time ] || need+=(time)
command -v pdfinfo >/dev/null || need+=(poppler-utils)
if [ ${#need[@]} -gt 0 ]; then
    echo "installing ${need[*]}" >&2
    DEBIAN_FRONTEND=noninteractive apt-get install -y "${need[@]}" >/dev/null
fi

if [ -z "${PELLMARK:-}" ]; then
    cmake -S "$here" -B "$here/build-bench" -G Ninja -DCMAKE_BUILD_TYPE=Release \
        -DPELLMARK_BENCH=ON >/dev/null
    cmake --build "$here/build-bench" -j2 --target pellmark pdf_text_bench >/dev/null
    PELLMARK=$here/build-bench/pellmark
fi
PELLMARK=$(cd "$(dirname "$PELLMARK")" && pwd)/$(basename "$PELLMARK")
direct=$(dirname "$PELLMARK")/bench/pdf_text_bench
mkdir -p "$BENCH_DIR"

# run_tool NAME OUTPUT COMMAND...: runs COMMAND RUNS times (stdout to OUTPUT when the tool
# writes there), keeps the median wall time and the largest peak RSS; sets WALL and RSS_KB.
run_tool() {
    local name=$1 output=$2; shift 2
    local times=() rss=0 i t0 t1 kb
    for ((i = 0; i < RUNS; i++)); do
        rm -f "$output"
        t0=$(date +%s%N)
        if [ "$name" = texttopdf ]; then
            /usr/bin/time -f '%M' -o time.txt "$@" >"$output" 2>/dev/null
        else
            /usr/bin/time -f '%M' -o time.txt "$@" >/dev/null 2>&1
        fi
        t1=$(date +%s%N)
        times+=($(( (t1 - t0) / 1000000 )))
        kb=$(tail -n 1 time.txt)
        [ "$kb" -gt "$rss" ] && rss=$kb
    done
    WALL=$(printf '%s\n' "${times[@]}" | sort -n | sed -n "$(( (RUNS + 1) / 2 ))p")
    RSS_KB=$rss
}

pages_of() {
    case $1 in
    *.pdf) pdfinfo "$1" 2>/dev/null | awk '/^Pages:/ {print $2}' ;;
    *.ps) grep -ac '^%%Page:' "$1" ;;
    esac
}

for lines in "${sizes[@]}"; do
    # Relative names: an argument that begins with "/" is an option to Pellmark.
    cd "$BENCH_DIR"
    corpus=corpus-$lines.txt
    [ -s "$corpus" ] || python3 "$here/bench/gen_corpus.py" "$lines" "$corpus"
    mkdir -p cairo && ln -sf "../$corpus" "cairo/$corpus"  # its PDF lands beside it, apart
    base=${corpus%.txt}
    declare -A wall rss size pages
    tools=(pellmark pellmark-cairo enscript a2ps texttopdf)
    [ -x "$direct" ] && tools+=(direct-pdf)
    for tool in "${tools[@]}"; do
        case $tool in
        pellmark)
            out=$base.pdf
            run_tool pellmark "$out" "$PELLMARK" -interactive=none -printer_id=PDF \
                -form_id=Letter -orientation=landscape -pitch=9 "$corpus" ;;
        pellmark-cairo)
            out=cairo/$base.pdf
            run_tool pellmark-cairo "$out" env PELLMARK_PDF_ENGINE=cairo "$PELLMARK" \
                -interactive=none -printer_id=PDF -form_id=Letter -orientation=landscape -pitch=9 \
                "cairo/$corpus" ;;
        enscript)
            out=$base.enscript.ps
            run_tool enscript "$out" enscript -q -B -r -M Letter -f Courier9 --margins=18:18:18:18 \
                -s 0 -p "$out" "$corpus" ;;
        a2ps)
            out=$base.a2ps.ps
            run_tool a2ps "$out" a2ps -q -1 -r -B --borders=no --medium=Letter \
                --font-size=9 -o "$out" "$corpus" ;;
        direct-pdf)
            out=$base.direct.pdf
            run_tool direct-pdf "$out" "$direct" "$corpus" "$out" ;;
        texttopdf)
            out=$base.texttopdf.pdf
            run_tool texttopdf "$out" /usr/lib/cups/filter/texttopdf 1 u t 1 \
                "landscape cpi=13 lpi=8" "$corpus" ;;
        esac
        wall[$tool]=$WALL rss[$tool]=$RSS_KB size[$tool]=$(stat -c %s "$out")
        pages[$tool]=$(pages_of "$out")
    done

    echo
    echo "corpus: $lines lines, $(stat -c %s "$corpus") bytes; median of $RUNS runs"
    echo
    echo "| tool | output | wall s | peak RSS MiB | output MB | pages | KiB/page | Pellmark wall ratio | RSS ratio |"
    echo "| --- | --- | ---: | ---: | ---: | ---: | ---: | ---: | ---: |"
    for tool in "${tools[@]}"; do
        case $tool in pellmark* | texttopdf | direct-pdf) kind=PDF ;; *) kind=PostScript ;; esac
        awk -v t="$tool" -v k="$kind" -v w="${wall[$tool]}" -v r="${rss[$tool]}" \
            -v s="${size[$tool]}" -v p="${pages[$tool]:-0}" -v pw="${wall[pellmark]}" \
            -v pr="${rss[pellmark]}" 'BEGIN {
                ratio_w = (t == "pellmark") ? "-" : sprintf("%.2f", pw / w)
                ratio_r = (t == "pellmark") ? "-" : sprintf("%.2f", pr / r)
                kbp = (p > 0) ? sprintf("%.2f", s / p / 1024) : "-"
                printf "| %s | %s | %.2f | %.1f | %.1f | %d | %s | %s | %s |\n",
                    t, k, w / 1000, r / 1024, s / 1e6, p, kbp, ratio_w, ratio_r }'
    done
    unset wall rss size pages
done
