#!/usr/bin/env bash
# Runs bench/startup_time under Wine as the tests run: in a network namespace of
# its own with loopback only, its own Xvfb and a fresh prefix under the build folder.
# Usage: unshare -n bash bench/startup_time.sh [RUNS]   (after a win64 build)
set -uo pipefail
cd "$(dirname "$0")/.."
build=$PWD/build/win64
source scripts/wine-env.sh
ip link set lo up || { echo "no network namespace: run as root through unshare -n" >&2; exit 1; }
prefix=$build/bench-prefix
rm -rf "$prefix"
wine_env_start "$prefix" headless 70
# Both programs' windows unmanaged, as in the tests: no window manager to wait for.
for exe in kestrum.exe minimal_window.exe; do
    wine reg add "HKCU\\Software\\Wine\\AppDefaults\\$exe\\X11 Driver" /v Managed /d N /f >/dev/null 2>&1
done
wineserver -w
echo "load before: $(cut -d' ' -f1-3 /proc/loadavg)"
wine "$build/startup_time.exe" "${1:-15}"
echo "load after: $(cut -d' ' -f1-3 /proc/loadavg)"
wine_env_stop
