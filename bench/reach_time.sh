#!/usr/bin/env bash
# Runs bench/reach_time under Wine behind each home router of the tests: without UPnP
# (none), with a public outside address (public) and behind a provider's shared one
# (shared). Everything lives in network namespaces made here; nothing leaves them.
# Usage: unshare -n bash bench/reach_time.sh [RUNS]   (as root, after a win64 build)
set -uo pipefail
cd "$(dirname "$0")/.."
build=$PWD/build/win64
source scripts/wine-env.sh
source scripts/router-namespace.sh
ip link set lo up || { echo "no network namespace: run as root through unshare -n" >&2; exit 1; }
state=$build/bench-reach
rm -rf "$state"
mkdir -p "$state"
wine_env_start "$state/prefix" headless 70
wineserver -k
for mode in none public shared; do
    router_up "$mode" "$state/router-$mode" || { cat "$state/router-$mode/router.log"; exit 1; }
    echo "== $mode"
    # Wine's server makes the sockets: it starts in this computer's namespace too.
    nsenter --net="$KESTRUM_NETNS" wine "$build/reach_time.exe" "${1:-9}"
    wineserver -k
    router_down "$state/router-$mode"
done
wine_env_stop
