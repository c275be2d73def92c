#!/usr/bin/env bash
# Builds the 64-bit kestrum.exe and runs it under Wine. With a display it opens
# there; without one it runs on a private Xvfb, saves a screenshot of the main
# window, prints where, and closes the program.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD

bash scripts/install-deps.sh
cmake --preset win64 >/dev/null
cmake --build --preset win64 --target kestrum ip packages -j"$(nproc)" >/dev/null

source scripts/wine-env.sh
build="$root/build/win64"
if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
    wine_env_start "$build/run-prefix"
    trap wine_env_stop EXIT
    wine "$build/kestrum.exe"
    exit 0
fi

wine_env_start "$build/run-prefix" headless
trap wine_env_stop EXIT
wine "$build/kestrum.exe" >/dev/null 2>&1 &
kestrum_pid=$!
window=""
for _ in $(seq 1 600); do
    window=$(xdotool search --name '^Kestrum [0-9]+\.[0-9]+$' 2>/dev/null | head -n 1 || true)
    [ -n "$window" ] && break
    sleep 0.1
done
if [ -z "$window" ]; then
    echo "kestrum.exe showed no window" >&2
    exit 1
fi
# Let start-up settle (discovery and painting) before the picture is taken.
sleep "${KESTRUM_SETTLE_SECONDS:-3}"
mkdir -p "$build/screenshots"
shot="$build/screenshots/run-main-window.png"
import -window "$window" "$shot"
echo "Screenshot of the main window: $shot"
# Ask it to close as the close box would (WM_CLOSE), then wait for it.
wine taskkill /im kestrum.exe >/dev/null 2>&1 || true
for _ in $(seq 1 100); do
    kill -0 "$kestrum_pid" 2>/dev/null || break
    sleep 0.1
done
wait "$kestrum_pid" 2>/dev/null || true
