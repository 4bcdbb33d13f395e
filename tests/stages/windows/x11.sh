# Dialogs under Xvfb: Wine's X11 driver on a private X server, keys from xdotool. Used for
# what only a visible modal dialog shows: the option help (template 101) and the print dialog.

xvfb_pid=""
app_pid=""

# x11_start: a private Xvfb (a free display chosen by the server itself) and Wine switched to
# its X11 driver, drawing its own captions (there is no window manager). Status 1 when the
# server does not come up within 20 s.
x11_start() {
    local i number=""
    : >"$work/xvfb.display"
    Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$work/xvfb.display" \
        >"$work/xvfb.log" 2>&1 </dev/null &
    xvfb_pid=$!
    for i in $(seq 1 100); do
        number=$(tr -dc '0-9' <"$work/xvfb.display" 2>/dev/null)
        [ -n "$number" ] && break
        kill -0 "$xvfb_pid" 2>/dev/null || break
        sleep 0.2
    done
    [ -n "$number" ] || { tail -n 5 "$work/xvfb.log" | sed 's/^/        /'; return 1; }
    export DISPLAY=:$number
    wine_graphics x11
    timeout -k 5 60 wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f \
        >>"$work/wine-reg.log" 2>&1
    # The desktop process keeps the driver it started with: start afresh.
    wine_stop
}

# x11_stop: ends the program under test, Wine and the X server. Safe to call twice.
x11_stop() {
    [ -n "$app_pid" ] && kill "$app_pid" 2>/dev/null
    app_pid=""
    wine_stop
    if [ -n "$xvfb_pid" ]; then
        kill "$xvfb_pid" 2>/dev/null
        wait "$xvfb_pid" 2>/dev/null
        xvfb_pid=""
    fi
}

# x11_launch DIR ARGS...: starts pellmark.exe with ARGS in DIR in the background (at most
# 90 s); app_pid is its process.
x11_launch() {
    local dir=$1
    shift
    mkdir -p "$dir"
    (cd "$dir" && PELLMARK_DEBUG=debug.log exec timeout -k 5 90 wine "$pellmark_exe" "$@" \
        >"$dir/wine.out" 2>&1 </dev/null) &
    app_pid=$!
}

# x11_window TITLE: prints the X window id of the visible window with exactly this title,
# waiting at most 40 s; status 1 when none appears.
x11_window() {
    local i id
    for i in $(seq 1 200); do
        id=$(xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | head -n 1)
        [ -n "$id" ] && { echo "$id"; return 0; }
        kill -0 "$app_pid" 2>/dev/null || return 1
        sleep 0.2
    done
    return 1
}

# x11_exit SECONDS: waits at most SECONDS for the program to end; sets app_status to its exit
# status, or to "running" when it did not end.
x11_exit() {
    local i
    for i in $(seq 1 $(($1 * 5))); do
        kill -0 "$app_pid" 2>/dev/null || break
        sleep 0.2
    done
    if kill -0 "$app_pid" 2>/dev/null; then
        app_status=running
        return
    fi
    wait "$app_pid"
    app_status=$?
    app_pid=""
}

# Started without arguments, the program shows the option help; Esc leaves it open, Enter
# (its default OK button) closes it and the program ends with status 0. The screenshot is
# kept as $artifacts/help-dialog.png.
check_help_dialog() {
    local dir=$work/runs/help title="Pellmark - Version 2.4 Option Descriptions." id
    x11_launch "$dir"
    if ! id=$(x11_window "$title"); then
        x11_exit 1
        fail "help dialog: expected a window titled '$title', got none (exit $app_status)"
        return
    fi
    pass "help dialog: shown with its caption"
    sleep 1  # let the list box paint
    local geometry
    geometry=$(xdotool getwindowgeometry "$id" | awk '/Geometry/ {g=$2} /Position/ {split($2, p, ","); x=p[1]; y=p[2]} END {print g "+" x "+" y}')
    mkdir -p "$artifacts"
    if timeout 30 import -window root -crop "$geometry" +repage "$artifacts/help-dialog.png" 2>"$work/import.log"; then
        local colours
        colours=$(identify -format '%k' "$artifacts/help-dialog.png" 2>/dev/null)
        if [ "${colours:-0}" -ge 8 ]; then
            pass "help dialog: screenshot kept as ${artifacts#"$root"/}/help-dialog.png ($geometry, $colours colours)"
        else
            fail "help dialog: expected a drawn dialog in the screenshot, got ${colours:-no} colours"
        fi
    else
        fail "help dialog: screenshot failed: $(head -n 2 "$work/import.log")"
    fi
    xdotool key Escape
    sleep 1.5
    x11_exit 0
    expect_eq "help dialog: Esc does not close it" running "$app_status"
    xdotool key Return
    x11_exit 20
    expect_eq "help dialog: Enter closes it; exit status" 0 "$app_status"
}

# -interactive shows the print dialog: cancelled, nothing prints and SCRATCH keeps the
# report; confirmed, the report prints and is deleted.
check_print_dialog() {
    local dir=$work/runs/interactive
    mkdir -p "$dir/jobs"
    printf 'cancelled\n' >"$dir/cancel.txt"
    printf 'confirmed\n' >"$dir/ok.txt"
    local answer file status
    for answer in Escape:cancel.txt Return:ok.txt; do
        file=${answer#*:}
        x11_launch "$dir" -disposition=scratch -interactive -pitch=10 "$file"
        if ! x11_window Print >/dev/null; then
            x11_exit 1
            fail "print dialog ($file): expected a window titled 'Print', got none (exit $app_status)"
            continue
        fi
        sleep 0.5
        xdotool key "${answer%%:*}"
        x11_exit 30
        status=$app_status
        run_dir=$dir
        print_collect_jobs
        if [ "$file" = cancel.txt ]; then
            expect_eq "print dialog cancelled: exit status" 0 "$status"
            expect_eq "print dialog cancelled: documents printed" 0 "${#run_jobs[@]}"
            expect_eq "print dialog cancelled: SCRATCH keeps the unprinted report" yes \
                "$([ -f "$dir/cancel.txt" ] && echo yes || echo no)"
        else
            expect_eq "print dialog confirmed: exit status" 0 "$status"
            expect_eq "print dialog confirmed: documents printed" 1 "${#run_jobs[@]}"
            expect_eq "print dialog confirmed: SCRATCH deletes the printed report" no \
                "$([ -f "$dir/ok.txt" ] && echo yes || echo no)"
        fi
    done
}
