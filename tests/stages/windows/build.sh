# Building the two Windows targets and checking the .exe files.

# build_windows NAME TRIPLE: configures and builds build-NAME with the MinGW-w64 toolchain for
# TRIPLE (program and tests). Status 0 when the build succeeded; the build's last lines are
# shown when it did not.
build_windows() {
    local dir=$root/build-$1 triple=$2 log generator=()
    log=$(mktemp)
    if [ ! -f "$dir/CMakeCache.txt" ] && command -v ninja >/dev/null; then generator=(-G Ninja); fi
    if timeout 600 cmake -S "$root" -B "$dir" "${generator[@]}" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
        --toolchain "$root/cmake/toolchain-$triple.cmake" >"$log" 2>&1 &&
        timeout 1200 cmake --build "$dir" -j"$build_jobs" >>"$log" 2>&1; then
        pass "build-$1: $triple build of pellmark.exe and its Win32 contract tests"
        rm -f "$log"
        return 0
    fi
    fail "build-$1: the $triple build failed; its last lines:"
    grep -E 'error|Error|undefined' "$log" | head -n 30 | sed 's/^/        /'
    tail -n 5 "$log" | sed 's/^/        /'
    rm -f "$log"
    return 1
}

# check_exe EXE LABEL: the module is a GUI-subsystem program that exports AbrtProc and
# AbrtDlgP by their plain names (no stdcall decoration, no C++ mangling).
check_exe() {
    local exe=$1 label=$2 dump table name
    if [ ! -f "$exe" ]; then
        fail "$label: no $exe to check"
        return
    fi
    dump=$(x86_64-w64-mingw32-objdump -p "$exe")
    if grep -Eq '^Subsystem[[:space:]]+0*2[[:space:]]' <<<"$dump"; then
        pass "$label: Windows GUI subsystem"
    else
        fail "$label: expected subsystem 2 (Windows GUI), got '$(grep -E '^Subsystem' <<<"$dump")'"
    fi
    table=$(sed -n '/\[Ordinal\/Name Pointer\] Table/,/^$/p' <<<"$dump" |
        sed -nE 's/^[[:space:]]*\[[[:space:]]*[0-9]+\][[:space:]]+//p' | sort | tr '\n' ' ')
    expect_eq "$label: names in the export table" "AbrtDlgP AbrtProc " "$table"
    # The import table shows the system DLLs the program uses and nothing of the MinGW runtime.
    local dlls
    dlls=$(sed -nE 's/^[[:space:]]*DLL Name: //p' <<<"$dump" | tr 'A-Z' 'a-z' | sort -u | tr '\n' ' ')
    for name in gdi32.dll user32.dll comdlg32.dll winspool.drv kernel32.dll; do
        case " $dlls" in
        *" $name "*) pass "$label: imports $name" ;;
        *) fail "$label: expected $name among the imported DLLs, got: $dlls" ;;
        esac
    done
    if grep -Eq 'libstdc\+\+|libgcc_s|libwinpthread' <<<"$dlls"; then
        fail "$label: expected the MinGW runtime linked in, got imports: $dlls"
    else
        pass "$label: no MinGW runtime DLL needed"
    fi
}
