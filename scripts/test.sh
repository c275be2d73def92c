#!/usr/bin/env bash
# Runs every test: the unit tests under ASan and UBSan, the Windows-side tests
# and the end-to-end tests under Wine and Xvfb (again at 144 and 192 dpi), a
# short run of each fuzzer, clang-format, clang-tidy and cppcheck; builds and
# checks the packages of both Windows builds. Ends with one line "N passed,
# N failed" and a non-zero exit on any failure.
#
#   bash scripts/test.sh                    everything (what CI runs)
#   bash scripts/test.sh --quick            unit tests and the Windows tier only
#   bash scripts/test.sh --fuzz-seconds N   fuzz each target N seconds (default 5)
set -uo pipefail
cd "$(dirname "$0")/.."
root=$PWD
results="$root/build/results"
quick=""
fuzz_seconds=5
while [ $# -gt 0 ]; do
    case $1 in
        --quick) quick=1 ;;
        --fuzz-seconds) fuzz_seconds=$2; shift ;;
        *) echo "usage: bash scripts/test.sh [--quick] [--fuzz-seconds N]" >&2; exit 2 ;;
    esac
    shift
done
export LANG=${LANG:-C.UTF-8}

bash scripts/install-deps.sh || exit 1
rm -rf "$results"
mkdir -p "$results"
source scripts/test-lib.sh
start_all=$SECONDS

# The Windows build first: the tests under Wine run in the background, inside a
# network namespace of their own, while the rest builds and runs beside them.
if [ -n "$quick" ]; then
    # No packages: the quick run needs no makensis.
    build win64 -DKESTRUM_PACKAGES=OFF --target kestrum_unit_tests kestrum_win_tests
else
    build win64
fi
win64_built=$?
if [ $win64_built -eq 0 ]; then
    unshare -n bash scripts/wine-tiers.sh ${quick:+--quick} >"$results/wine.log" 2>&1 &
    wine_pid=$!
else
    failed=$((failed + 1)); summary+=("FAILED: win64 build")
fi

if build host-asan --target kestrum_unit_tests; then
    stage "unit tests (ASan+UBSan)"
    build/host-asan/kestrum_unit_tests --gtest_brief=1 --gtest_output="xml:$results/host-unit.xml"
    status=$?
    before=$failed
    count_xml "unit (ASan+UBSan)" "$results/host-unit.xml"
    # A leak is reported after the last test has passed: only the exit status tells.
    if [ $status -ne 0 ] && [ $failed -eq $before ]; then
        failed=$((failed + 1)); summary+=("FAILED: unit (ASan+UBSan) exit status $status, report above")
    fi
else
    failed=$((failed + 1)); summary+=("FAILED: host-asan build")
fi

if [ -z "$quick" ]; then
    source scripts/package-checks.sh
    if [ $win64_built -eq 0 ]; then
        for exe in kestrum.exe IP.EXE; do
            check "win64/$exe is hardened and self-contained" pe_check "build/win64/$exe" win64
        done
        check "win64 portable zip" zip_check build/win64/Kestrum-*-portable.zip
    fi
    # The 32-bit build cannot run here: its programs and packages are built and checked.
    if build win32 -DKESTRUM_TESTS=OFF; then
        for exe in kestrum.exe IP.EXE; do
            check "win32/$exe is hardened and self-contained" pe_check "build/win32/$exe" win32
        done
        check "win32 portable zip" zip_check build/win32/Kestrum-*-x86-portable.zip
    else
        failed=$((failed + 1)); summary+=("FAILED: win32 build")
    fi
    source scripts/analysis.sh
    if build fuzz; then
        stage "fuzzing, $fuzz_seconds s a target"
        for target in "${fuzz_targets[@]}"; do
            run_fuzzer "$target"
            check "fuzz_$target" fuzz_passed "$target"
            echo "   fuzz_$target: $(fuzz_executions "$target") inputs"
        done
    else
        failed=$((failed + 1)); summary+=("FAILED: fuzz build")
    fi
    stage "static analysis"
    check "clang-tidy (portable code and unit tests)" tidy_host
    check "clang-tidy (Windows code, MinGW-w64 headers)" tidy_windows
    check "clang-format" format_check
    check "cppcheck (portable code and unit tests)" cppcheck_portable
    check "cppcheck (Windows code)" cppcheck_windows
fi

if [ -n "${wine_pid:-}" ]; then
    stage "waiting for the tests under Wine"
    wait "$wine_pid"
    cat "$results/wine.log"
    if ! ls "$results"/wine-*.xml.expected >/dev/null 2>&1; then
        failed=$((failed + 1)); summary+=("FAILED: the tests under Wine did not start (log above)")
    fi
    for report in "$results"/wine-*.xml.expected; do
        tier=$(cat "$report")
        count_xml "$tier" "${report%.expected}"
        # A hung test ended its tier: the watchdog named it in the log.
        [ -s "${report%.expected}" ] || summary+=("$(grep -h 'HUNG' "$results/${tier//[^a-z0-9]/-}.log")")
    done
fi
stage_end

echo
printf '%s\n' "${summary[@]}"
echo "total $((SECONDS - start_all)) s"
echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
