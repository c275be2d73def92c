#!/usr/bin/env bash
# The tests under Wine. Run by the test script as `unshare -n bash scripts/wine-tiers.sh`:
# in a network namespace of its own with loopback only, so that nothing a test
# starts (the online probe and IP.EXE look up public names) can leave this machine.
# Each tier writes build/results/wine-NAME.xml and, beside it, its label in
# wine-NAME.xml.expected, which the test script counts.
set -uo pipefail
cd "$(dirname "$0")/.."
root=$PWD
build=$root/build/win64
results=$root/build/results
quick=${1:-}
source scripts/wine-env.sh
ip link set lo up || { echo "no network namespace: run as root through unshare -n" >&2; exit 1; }
# An address on a link where nothing answers, for the port probe's silent case:
# the far end of a pair that takes every packet and answers none.
if ip link add silent0 type veth peer name silent1 && ip link set silent1 up &&
    ip addr add 10.99.0.1/24 dev silent0 && ip link set silent0 up &&
    ip neigh replace 10.99.0.2 lladdr 02:00:00:00:99:02 dev silent0; then
    export KESTRUM_SILENT_ADDRESS=10.99.0.2
    # The same over IPv6: a global address there, whose neighbour takes all and answers nothing.
    ip addr add 2001:db8:99::1/64 dev silent0 nodad &&
        ip -6 neigh replace 2001:db8:99::2 lladdr 02:00:00:00:99:02 dev silent0 &&
        export KESTRUM_SILENT_ADDRESS6=2001:db8:99::2
fi

# A STUN server on loopback for IP.EXE's tests (Debian's coturn, STUN only).
turnserver -n --listening-ip=127.0.0.1 --listening-port=3478 --stun-only --no-tcp --no-tls --no-dtls --no-cli \
    --pidfile="$results/turnserver.pid" --log-file=stdout >"$results/turnserver.log" 2>&1 &
stun_pid=$!
export KESTRUM_STUN=127.0.0.1:3478

# One prefix is prepared once; each run starts from a copy of it.
template=$build/prefix-template
rm -rf "$template" "$build"/test-prefix* "$build/screenshots"
(
    wine_env_start "$template" headless 80
    # The tests open and close many windows: unmanaged, Wine does not wait for a
    # window manager (Xvfb has none) to withdraw each one.
    for exe in kestrum_win_tests.exe kestrum.exe; do
        wine reg add "HKCU\\Software\\Wine\\AppDefaults\\$exe\\X11 Driver" /v Managed /d N /f >/dev/null 2>&1
    done
    wineserver -w  # the registry is saved when the server ends
    wine_env_stop
)

# run_tier LABEL DPI DISPLAY EXE [GTEST ARGS...]: one test program in a fresh copy of the prefix.
run_tier() {
    local label=$1 dpi=$2 display=$3 exe=$4
    shift 4
    local name=${label//[^a-z0-9]/-} start=$SECONDS
    local xml="$results/wine-$name.xml"
    echo "$label" >"$xml.expected"
    cp -a "$template" "$build/test-prefix-$name"
    wine_env_start "$build/test-prefix-$name" headless "$display"
    if [ "$dpi" != 96 ]; then
        wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$dpi" /f >/dev/null 2>&1
        wineserver -k 2>/dev/null; wineserver -w 2>/dev/null  # read at the next start
    fi
    local shots=$build/screenshots
    [ "$dpi" = 96 ] || shots=$shots/dpi$dpi
    mkdir -p "$shots"
    # Every wait in the tests has its own bound; this one is for a hang they did not
    # foresee: the test that started last and never ended is named.
    KESTRUM_SCREENSHOTS="$(winepath -w "$shots" 2>/dev/null)" KESTRUM_EXPECTED_DPI=$dpi \
        timeout 300 wine "$build/$exe" --gtest_output="xml:$(winepath -w "$xml")" "$@" >"$results/$name.log" 2>&1
    [ $? -eq 124 ] && echo "[  HUNG    ] $(grep '^\[ RUN' "$results/$name.log" | tail -n 1 | cut -c14-)" \
        "did not end within 300 s" >>"$results/$name.log"
    wine_env_stop
    echo "== $label: $((SECONDS - start)) s"
    grep -vE '^\[ +(RUN|OK) +\]' "$results/$name.log"
}

run_tier "unit (Windows)" 96 90 kestrum_unit_tests.exe
run_tier "Windows adapters" 96 90 kestrum_win_tests.exe
# The router adapter again on a LAN: behind a gateway that does not speak UPnP, a real
# router daemon, and one whose own outside address is a provider's shared one; and the
# program's Connection Check behind each.
source scripts/router-namespace.sh
for router in none public shared; do
    if router_up "$router" "$build/router-$router"; then
        run_tier "router $router" 96 90 kestrum_win_tests.exe --gtest_filter='Router*'
        [ -n "$quick" ] ||
            run_tier "end to end, router $router" 96 90 kestrum_e2e.exe --gtest_filter='RouterCheck.*'
    else
        echo "router $router" >"$results/wine-router-$router.xml.expected"  # counted: a tier with no report
    fi
    router_down
done
if [ -z "$quick" ]; then
    run_tier "end to end" 96 90 kestrum_e2e.exe --gtest_filter='-RouterCheck.*'  # those behind a router above
    # The windows again on screens of 150% and 200%, side by side.
    run_tier "end to end at 144 dpi" 144 100 kestrum_e2e.exe --gtest_filter='Dpi*' >"$results/dpi144.out" &
    dpi144=$!
    run_tier "end to end at 192 dpi" 192 110 kestrum_e2e.exe --gtest_filter='Dpi*' >"$results/dpi192.out"
    wait "$dpi144"
    cat "$results/dpi144.out" "$results/dpi192.out"
fi
kill "$stun_pid" 2>/dev/null
for bmp in "$build"/screenshots/*.bmp "$build"/screenshots/*/*.bmp; do
    [ -e "$bmp" ] && convert "$bmp" "${bmp%.bmp}.png" && rm -f "$bmp"
done
echo "Screenshots: $build/screenshots"
