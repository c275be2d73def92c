#!/usr/bin/env bash
# Runs every test: the host unit tests (also under ASan and UBSan), the fuzzers,
# clang-tidy and cppcheck, the Windows-side tests under Wine and the end-to-end
# tests under Wine and Xvfb; builds and checks the 32-bit programs.
# Ends with one line "N passed, N failed" and a non-zero exit on any failure.
set -uo pipefail
cd "$(dirname "$0")/.."
root=$PWD
results="$root/build/results"

bash scripts/install-deps.sh || exit 1
rm -rf "$results"
mkdir -p "$results"

passed=0
failed=0
summary=()

# count_xml TIER FILE: adds a GoogleTest XML report to the totals.
count_xml() {
    local tier=$1 file=$2 tests failures errors
    if [ ! -s "$file" ]; then
        summary+=("$tier: no report (the test program did not finish)")
        failed=$((failed + 1))
        return
    fi
    tests=$(sed -n 's/.*<testsuites tests="\([0-9]*\)".*/\1/p' "$file" | head -n 1)
    failures=$(sed -n 's/.*<testsuites [^>]*failures="\([0-9]*\)".*/\1/p' "$file" | head -n 1)
    errors=$(sed -n 's/.*<testsuites [^>]*errors="\([0-9]*\)".*/\1/p' "$file" | head -n 1)
    local bad=$((failures + errors))
    passed=$((passed + tests - bad))
    failed=$((failed + bad))
    summary+=("$tier: $((tests - bad)) passed, $bad failed")
}

# check NAME COMMAND...: one named check outside GoogleTest.
check() {
    local name=$1
    shift
    if "$@" >"$results/check.log" 2>&1; then
        passed=$((passed + 1))
    else
        failed=$((failed + 1))
        summary+=("FAILED check: $name")
        sed 's/^/    /' "$results/check.log"
    fi
}

build() {
    local preset=$1
    echo "== build $preset"
    local start=$SECONDS
    cmake --preset "$preset" >"$results/configure-$preset.log" 2>&1 &&
        cmake --build --preset "$preset" -j"$(nproc)" >"$results/build-$preset.log" 2>&1
    local status=$?
    echo "   $((SECONDS - start)) s"
    [ $status -eq 0 ] || { tail -n 40 "$results/build-$preset.log"; }
    return $status
}

# -- host -------------------------------------------------------------------
if build host; then
    echo "== host unit tests"
    build/host/kestrum_unit_tests --gtest_brief=1 --gtest_output="xml:$results/host-unit.xml"
    count_xml "host unit" "$results/host-unit.xml"
else
    failed=$((failed + 1)); summary+=("FAILED: host build")
fi

# -- the same unit tests under AddressSanitizer and UBSan ----------------------
if build host-asan; then
    echo "== host unit tests (ASan+UBSan)"
    build/host-asan/kestrum_unit_tests --gtest_brief=1 --gtest_output="xml:$results/host-asan.xml"
    status=$?
    before=$failed
    count_xml "host unit (ASan+UBSan)" "$results/host-asan.xml"
    # A leak is reported after the last test has passed: only the exit status tells.
    if [ $status -ne 0 ] && [ $failed -eq $before ]; then
        failed=$((failed + 1)); summary+=("FAILED: host unit (ASan+UBSan) exit status $status, report above")
    fi
else
    failed=$((failed + 1)); summary+=("FAILED: host-asan build")
fi

# -- Windows builds -----------------------------------------------------------
source scripts/package-checks.sh
for preset in win32 win64; do
    if build "$preset"; then
        for exe in kestrum.exe IP.EXE; do
            check "$preset/$exe is hardened and self-contained" pe_check "build/$preset/$exe" "$preset"
        done
        check "$preset portable zip" zip_check build/"$preset"/Kestrum-1.2.0*-portable.zip
    else
        failed=$((failed + 1)); summary+=("FAILED: $preset build")
    fi
done

# -- fuzzing and static analysis ------------------------------------------------
source scripts/analysis.sh
if build fuzz; then
    echo "== fuzzing, $fuzz_seconds s a target, one a processor at a time"
    start=$SECONDS
    running=0
    for target in "${fuzz_targets[@]}"; do
        run_fuzzer "$target" &
        running=$((running + 1))
        [ $((running % $(nproc))) -eq 0 ] && wait
    done
    wait
    for target in "${fuzz_targets[@]}"; do
        check "fuzz_$target" fuzz_passed "$target"
        echo "   fuzz_$target: $(fuzz_executions "$target") executions"
    done
    echo "   $((SECONDS - start)) s"
else
    failed=$((failed + 1)); summary+=("FAILED: fuzz build")
fi
echo "== static analysis"
start=$SECONDS
check "clang-tidy (portable code and unit tests)" tidy_host
check "clang-tidy (Windows code, MinGW-w64 headers)" tidy_windows
check "cppcheck (portable code and unit tests)" cppcheck_portable
check "cppcheck (Windows code)" cppcheck_windows
echo "   $((SECONDS - start)) s"

# -- under Wine -------------------------------------------------------------
# What is run again at the higher dpis: every window's layout, text and gradient.
dpi_tests='HighDpi.*:MainWindow.ShowsEvery*:MainWindowPaint.*:HowToWindow.Opens*:AboutBox.Opens*'
if [ -f build/win64/kestrum.exe ]; then
    source scripts/wine-env.sh
    rm -rf build/win64/test-prefix build/win64/screenshots
    wine_env_start "$root/build/win64/test-prefix" headless
    trap wine_env_stop EXIT
    export KESTRUM_SCREENSHOTS="$(winepath -w "$root/build/win64/screenshots" 2>/dev/null)"
    mkdir -p build/win64/screenshots
    # The Windows-side tests open and close hundreds of windows: unmanaged, Wine
    # does not wait for a window manager (Xvfb has none) to withdraw each one.
    wine reg add 'HKCU\Software\Wine\AppDefaults\kestrum_win_tests.exe\X11 Driver' /v Managed /d N /f \
        >/dev/null 2>&1
    export KESTRUM_EXPECTED_DPI=96
    for tier in unit_tests:"unit (Windows)" win_tests:"Windows adapters" e2e:"end to end"; do
        name=${tier%%:*}
        label=${tier#*:}
        echo "== $label"
        timeout 1200 wine "build/win64/kestrum_$name.exe" --gtest_brief=1 \
            --gtest_output="xml:$(winepath -w "$results/win-$name.xml")"
        count_xml "$label" "$results/win-$name.xml"
    done
    echo "== start-up time (figures only)"
    timeout 300 wine build/win64/startup_time.exe || true
    wine_env_stop
    # The windows again on screens of 150% and 200%, each in a prefix of its own.
    for dpi in 144 192; do
        echo "== end to end at $dpi dpi"
        rm -rf "build/win64/test-prefix-$dpi"
        wine_env_start "$root/build/win64/test-prefix-$dpi" headless
        wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$dpi" /f >/dev/null 2>&1
        wineserver -k 2>/dev/null; wineserver -w 2>/dev/null  # read at the next start
        mkdir -p "build/win64/screenshots/dpi$dpi"
        KESTRUM_SCREENSHOTS="$(winepath -w "$root/build/win64/screenshots/dpi$dpi")" \
            KESTRUM_EXPECTED_DPI=$dpi timeout 600 wine build/win64/kestrum_e2e.exe --gtest_brief=1 \
            --gtest_filter="$dpi_tests" --gtest_output="xml:$(winepath -w "$results/win-e2e-$dpi.xml")"
        count_xml "end to end at $dpi dpi" "$results/win-e2e-$dpi.xml"
        wine_env_stop
    done
    trap - EXIT
    unset KESTRUM_EXPECTED_DPI
    for bmp in build/win64/screenshots/*.bmp build/win64/screenshots/*/*.bmp; do
        [ -e "$bmp" ] && convert "$bmp" "${bmp%.bmp}.png" && rm -f "$bmp"
    done
    echo "Screenshots: $root/build/win64/screenshots"
fi

echo
printf '%s\n' "${summary[@]}"
echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
