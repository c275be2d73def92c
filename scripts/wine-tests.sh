#!/usr/bin/env bash
# The test programs under Wine, for CTest: the command each one runs through (the
# build's cross-compiling emulator), and the fixtures they need. STATE is the build's
# folder for them (build/win64/wine); each group of tests has a folder there with its
# own prefix, display and screenshots, copied from one prefix made once.
#
#   wine-tests.sh STATE template                the prefix the groups start from, made once
#   wine-tests.sh STATE run PROGRAM [ARGS...]   PROGRAM in the prefix and on the display of
#                        $KESTRUM_WINE_GROUP, with what its fixtures left in .env files
#                        there and in $KESTRUM_WINE_ENV; without a group (CTest listing
#                        the tests), in the prefix the groups are copied from
#   wine-tests.sh STATE up GROUP DPI DISPLAY    the group's prefix (screen at DPI) and display
#                        (the first free number from DISPLAY: each group has its own)
#   wine-tests.sh STATE down GROUP              ends them
#   wine-tests.sh STATE stun up|down            a STUN server on loopback (127.0.0.1:3478)
#   wine-tests.sh STATE silent up|down          10.99.0.2 and 2001:db8:99::2, where nothing answers
#   wine-tests.sh STATE router MODE up|down     a home router (scripts/router-namespace.sh)
#
# The tests run in a network namespace with loopback only (the test script enters
# it); the router's tests in one of the router's own. Only what is started here is
# stopped here, by the PIDs kept in STATE.
set -uo pipefail
scripts=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
state=$1
command=$2
shift 2
mkdir -p "$state"
source "$scripts/wine-env.sh"

# The prefix every group starts from, made once (wineboot takes a while) under a lock.
template() {
    (
        flock 9
        [ -f "$state/template/system.reg" ] && exit 0
        rm -rf "$state/template"
        wine_env_start "$state/template" headless 80
        # The tests open and close many windows: unmanaged, Wine does not wait for a
        # window manager (Xvfb has none) to withdraw each one.
        for exe in kestrum_win_tests.exe kestrum_e2e.exe kestrum.exe; do
            wine reg add "HKCU\\Software\\Wine\\AppDefaults\\$exe\\X11 Driver" /v Managed /d N /f >/dev/null 2>&1
        done
        wineserver -w  # the registry is saved when the server ends
        wine_env_stop
    ) 9>"$state/template.lock"
}

# copy_prefix DIR: a copy of the template, but for the system's DLLs, most of a gigabyte
# that nothing writes to: those are linked.
copy_prefix() {
    local shared=(./drive_c/windows/system32 ./drive_c/windows/winsxs) folder
    rm -rf "$1"
    mkdir -p "$1"
    tar -C "$state/template" "${shared[@]/#/--exclude=}" -cf - . | tar -C "$1" -xf - || return 1
    for folder in "${shared[@]}"; do
        cp -al "$state/template/$folder" "$1/$folder" || return 1
    done
}

# run PROGRAM [ARGS...]
run() {
    local dir=$state/${KESTRUM_WINE_GROUP:-} stay=""
    if [ -z "${KESTRUM_WINE_GROUP:-}" ]; then
        # CTest listing the tests, program after program: in a prefix of their own, whose
        # server stays half a minute after each.
        export WINEPREFIX=$state/list/prefix
        stay=30
        [ -f "$WINEPREFIX/system.reg" ] || { template && copy_prefix "$WINEPREFIX"; } || exit 1
    else
        [ -d "$dir/prefix" ] || { echo "no prefix for $KESTRUM_WINE_GROUP: its fixture did not run" >&2; exit 1; }
        # The online probe and IP.EXE look up public names: nothing may leave this machine.
        if [ -n "$(ip route show default; ip -6 route show default)" ]; then
            echo "the tests under Wine run in a network namespace with loopback only (unshare -n)" >&2
            exit 1
        fi
        ip link set lo up
        export WINEPREFIX=$dir/prefix
        touch "$dir/ran"
        for env in "$dir"/*.env ${KESTRUM_WINE_ENV:-}; do
            [ -f "$env" ] && source "$env"
        done
    fi
    export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" LANG=${LANG:-C.UTF-8}
    # The server stays between the tests, so that each process starts in a moment. It
    # makes the sockets of the programs: it runs in their network namespace.
    local in_namespace=()
    [ -n "${KESTRUM_NETNS:-}" ] && in_namespace=(nsenter --net="$KESTRUM_NETNS")
    "${in_namespace[@]}" wineserver -p"${stay:-}" </dev/null >/dev/null 2>&1
    # Its output through a file: Wine's own processes, started with the first program and
    # staying with the server, would hold CTest's pipe open.
    local output
    output=$(mktemp "$state/output.XXXXXX")
    "${in_namespace[@]}" wine "$@" </dev/null >"$output" 2>&1
    local status=$?
    cat "$output"
    rm -f "$output"
    return $status
}

# up GROUP DPI DISPLAY
up() {
    local group=$1 dpi=$2 display=$3 dir=$state/$1
    down "$group" leftover
    template || return 1
    rm -rf "$dir/screenshots" "$dir/group.env" "$dir/ran"
    mkdir -p "$dir/screenshots"
    copy_prefix "$dir/prefix" || return 1
    (
        wine_env_start "$dir/prefix" headless "$display"
        [ -n "$KESTRUM_XVFB_PID" ] && kill -0 "$KESTRUM_XVFB_PID" || { echo "Xvfb did not start" >&2; exit 1; }
        echo "$KESTRUM_XVFB_PID" >"$dir/xvfb.pid"
        if [ "$dpi" != 96 ]; then
            wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$dpi" /f >/dev/null 2>&1 || exit 1
        fi
        cat >"$dir/group.env" <<EOF
export DISPLAY=$DISPLAY
export KESTRUM_EXPECTED_DPI=$dpi
export KESTRUM_GROUP_DIR='$dir'
EOF
        # No server stays: the first test starts it, in its own network namespace, and
        # the screen's dpi is read then.
        wineserver -k 2>/dev/null || true
    )
}

# down GROUP: fails when no test of the group ran (a filter that matches none).
down() {
    local dir=$state/$1
    [ -d "$dir/prefix" ] && WINEPREFIX=$dir/prefix wineserver -k 2>/dev/null
    if [ -f "$dir/xvfb.pid" ]; then
        kill "$(cat "$dir/xvfb.pid")" 2>/dev/null
        rm -f "$dir/xvfb.pid"
    fi
    [ "${2:-}" = leftover ] || [ -e "$dir/ran" ] || { echo "no test of $1 ran" >&2; return 1; }
}

# stun up|down
stun() {
    [ -f "$state/stun.pid" ] && kill "$(cat "$state/stun.pid")" 2>/dev/null
    rm -f "$state/stun.pid"
    [ "$1" = up ] || return 0
    turnserver -n --listening-ip=127.0.0.1 --listening-port=3478 --stun-only --no-tcp --no-tls --no-dtls --no-cli \
        --log-file=stdout </dev/null >"$state/turnserver.log" 2>&1 &
    echo $! >"$state/stun.pid"
    for _ in $(seq 1 50); do
        ss -Hlun 'sport = 3478' | grep -q . && return 0
        sleep 0.1
    done
    echo "the STUN server did not start (see $state/turnserver.log)" >&2
    return 1
}

# silent up|down: the far end of a pair that takes every packet and answers none.
silent() {
    ip link del silent0 2>/dev/null
    [ "$1" = up ] || return 0
    ip link set lo up &&
        ip link add silent0 type veth peer name silent1 && ip link set silent1 up &&
        ip addr add 10.99.0.1/24 dev silent0 && ip link set silent0 up &&
        ip neigh replace 10.99.0.2 lladdr 02:00:00:00:99:02 dev silent0 &&
        ip addr add 2001:db8:99::1/64 dev silent0 nodad &&
        ip -6 neigh replace 2001:db8:99::2 lladdr 02:00:00:00:99:02 dev silent0
}

# router MODE up|down: its files in STATE/router-MODE, its variables in STATE/router-MODE.env.
router() {
    local mode=$1 dir=$state/router-$1
    source "$scripts/router-namespace.sh"
    rm -f "$dir.env"
    if [ "$2" = down ]; then
        router_down "$dir"
        return 0
    fi
    router_up "$mode" "$dir" || { cat "$dir/router.log" 2>/dev/null; return 1; }
    export -p | grep ' KESTRUM_' >"$dir.env"
}

case $command in
    template | run | up | down | stun | silent | router) "$command" "$@" ;;
    *) echo "wine-tests.sh: unknown command $command" >&2; exit 2 ;;
esac
