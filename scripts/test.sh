#!/usr/bin/env bash
# Runs every test: CTest's workflows (the unit tests under ASan and UBSan; the
# unit, adapter and end-to-end tests under Wine and Xvfb, again at 144 and 192 dpi
# and behind three home routers), a short run of each fuzzer, clang-format,
# clang-tidy and cppcheck; builds and checks the packages of both Windows builds.
# Everything runs in a network namespace with loopback only. Ends with one line
# "N passed, N failed, N skipped" and a non-zero exit on any failure.
#
#   bash scripts/test.sh                    everything (what CI runs)
#   bash scripts/test.sh --quick            the unit and adapter tests only
#   bash scripts/test.sh --fuzz-seconds N   fuzz each target N seconds (default 5)
set -uo pipefail
cd "$(dirname "$0")/.."
root=$PWD
results="$root/build/results"
quick=""
fuzz_seconds=5
arguments=("$@")
while [ $# -gt 0 ]; do
    case $1 in
        --quick) quick=1 ;;
        --fuzz-seconds) fuzz_seconds=$2; shift ;;
        *) echo "usage: bash scripts/test.sh [--quick] [--fuzz-seconds N]" >&2; exit 2 ;;
    esac
    shift
done
export LANG=${LANG:-C.UTF-8}

if [ -z "${KESTRUM_LOOPBACK_ONLY:-}" ]; then
    bash scripts/install-deps.sh || exit 1
    # The online probe and IP.EXE look up public names: nothing may leave this machine.
    exec env KESTRUM_LOOPBACK_ONLY=1 unshare -n bash "$0" "${arguments[@]}"
fi
ip link set lo up || { echo "no network namespace of our own: run as root" >&2; exit 1; }
rm -rf "$results"
mkdir -p "$results"
source scripts/test-lib.sh
start_all=$SECONDS

# What is counted, named before anything runs: a report that never comes is a failure.
windows=win64
[ -n "$quick" ] && windows=quick
echo "== counted: CTest's reports host-asan and $windows, then each check by its name"

# The Windows workflow, whose tests run under Wine, in the background beside the rest;
# configured first, for the analysis of the Windows code.
cmake --preset win64 >"$results/configure-win64.log" 2>&1
# The Wine prefix the tests start from, made while the programs build.
bash scripts/wine-tests.sh "$root/build/win64/wine" template >"$results/wine-template.log" 2>&1 &
workflow "$windows" &
windows_pid=$!
workflow host-asan

if [ -z "$quick" ]; then
    # The 32-bit build cannot run here: its programs and packages are built and checked.
    source scripts/package-checks.sh
    if check "win32 build" build win32 -DKESTRUM_TESTS=OFF; then
        for exe in kestrum.exe IP.EXE; do
            check "win32/$exe is hardened and self-contained" pe_check "build/win32/$exe" win32
        done
        check "win32 portable zip" zip_check build/win32/Kestrum-*-x86-portable.zip
    fi
    source scripts/analysis.sh
    if check "fuzz build" build fuzz; then
        stage "fuzzing, $fuzz_seconds s a target"
        for target in "${fuzz_targets[@]}"; do
            run_fuzzer "$target"
            check "fuzz_$target" fuzz_passed "$target"
            echo "   fuzz_$target: $(fuzz_executions "$target") inputs"
        done
    fi
    stage "static analysis"
    check "clang-tidy (portable code)" tidy_host
    check "clang-tidy (Windows code, MinGW-w64 headers)" tidy_windows
    check "clang-format" format_check
    check "cppcheck (portable code and unit tests)" cppcheck_portable
    check "cppcheck (Windows code)" cppcheck_windows
fi

stage "waiting for the tests under Wine"
wait "$windows_pid"
if [ -z "$quick" ]; then
    stage "packages"
    for exe in kestrum.exe IP.EXE; do
        check "win64/$exe is hardened and self-contained" pe_check "build/win64/$exe" win64
    done
    check "win64 portable zip" zip_check build/win64/Kestrum-*-portable.zip
fi
stage_end
count_junit host-asan
count_junit "$windows"

echo
printf '%s\n' "${summary[@]}"
echo "Screenshots: $root/build/win64/wine/*/screenshots"
echo "total $((SECONDS - start_all)) s"
echo "$passed passed, $failed failed, $skipped skipped"
[ "$failed" -eq 0 ]
