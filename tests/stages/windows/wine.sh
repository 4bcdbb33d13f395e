# Wine for the Windows stage: a fresh prefix in the stage's temporary folder, headless (the
# null graphics driver) unless a test switches to X11 for a screenshot.

# wine_start_prefix: creates the prefix under $work and selects the null graphics driver.
# The private CUPS scheduler must already run: Wine takes its printers from CUPS when the
# prefix starts. Status 1, with Wine's own words, when the prefix cannot be made.
wine_start_prefix() {
    export WINEPREFIX=$work/prefix WINEARCH=win64 WINEDEBUG=-all
    # No .NET or Gecko installers: they would want a network and a window.
    export WINEDLLOVERRIDES="mscoree,mshtml="
    unset DISPLAY WAYLAND_DISPLAY
    if ! timeout -k 5 180 wineboot -i >"$work/wineboot.log" 2>&1; then
        tail -n 20 "$work/wineboot.log" | sed 's/^/        /'
        return 1
    fi
    wine_graphics null
}

# wine_graphics DRIVER: the graphics driver for programs started from now on (null or x11).
wine_graphics() {
    timeout -k 5 60 wine reg add 'HKCU\Software\Wine\Drivers' /v Graphics /d "$1" /f \
        >>"$work/wine-reg.log" 2>&1
}

# wine_stop: ends every process of the prefix. Safe to call when none runs.
wine_stop() {
    if [ -n "${WINEPREFIX:-}" ] && [ -d "$WINEPREFIX" ]; then
        timeout -k 5 30 wineserver -k 2>/dev/null
        timeout -k 5 30 wineserver -w 2>/dev/null
    fi
    return 0
}

# wine_run DIR SECONDS PROGRAM ARGS...: runs a Windows program under Wine in DIR, with at
# most SECONDS to finish (a program that reaches a modal box headless never returns; it is
# then killed). Wine's own output goes to DIR/wine.out. Sets wine_status to the exit status,
# 124 when the time ran out.
wine_run() {
    local dir=$1 seconds=$2
    shift 2
    (cd "$dir" && exec timeout -k 5 "$seconds" wine "$@" >"$dir/wine.out" 2>&1 </dev/null)
    wine_status=$?
    if [ "$wine_status" -eq 124 ] || [ "$wine_status" -eq 137 ]; then
        # Whatever it left behind (a box waiting for a click) goes too.
        wine_stop
    fi
}

# The Win32 contract tests of build-win64 (tests/contract/win32_*_test.cpp), run by CTest
# under Wine in this prefix: one check per test program, the failures' own lines shown.
check_contract_tests() {
    local out line name result count=0
    # The printing contracts use the scheduler's default queue.
    out=$(cd "$root/build-win64" && PELLMARK_CONTRACT_PRINTER=pmraw \
        timeout -k 5 900 ctest --timeout 120 --output-on-failure 2>&1)
    while IFS= read -r line; do
        [[ $line =~ Test[[:space:]]+#[0-9]+:[[:space:]]+([^[:space:]]+)[[:space:].]+(\*+)?[[:space:]]*([A-Za-z]+) ]] || continue
        name=${BASH_REMATCH[1]}
        result=${BASH_REMATCH[3]}
        count=$((count + 1))
        if [ "$result" = Passed ]; then
            pass "$name under Wine"
        else
            fail "$name under Wine: $result"
            awk -v t="$name" '$0 ~ "Test +#[0-9]+: " t " " {on = 1; next}
                on && /Test +#[0-9]+: / {on = 0}
                on && /Failure|Expected|Which is|expected|FAILED|Skipped/' <<<"$out" |
                head -n 40 | sed 's/^/        /'
        fi
    done <<<"$out"
    if [ "$count" -eq 0 ]; then
        fail "Win32 contract tests: CTest ran none; its output ends: $(tail -n 3 <<<"$out" | tr '\n' ' ')"
    fi
}
