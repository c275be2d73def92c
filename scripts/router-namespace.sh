# Sourced by the Wine tiers: a home router for this computer, made of a private
# network namespace that holds Debian's UPnP router daemon (miniupnpd). Run inside
# a network namespace of the caller's own (unshare -n, as root): the current
# namespace is "this computer", 192.168.77.2 behind the router 192.168.77.1, and
# the router's "Internet" side is a veth pair that ends inside the router's
# namespace, so that nothing can leave it. Only what is started here is stopped here.
#
#   router_up MODE DIR   MODE: none (a gateway that does not speak UPnP), public
#                        (outside address 5.6.7.8) or shared (outside address in
#                        100.64/10, as behind a provider's NAT); DIR: its files and log
#   router_down
#
# router_up exports KESTRUM_ROUTER (the mode), KESTRUM_LAN_ADDRESS (this computer's
# address on the router's network), KESTRUM_ROUTER_OUTSIDE (the router's outside
# address), KESTRUM_ROUTER_URL (its description, which upnpc -u takes) and
# KESTRUM_ROUTER_DIR (DIR).

ROUTER_NS_PID=""
ROUTER_DAEMON_PID=""

router_up() {
    local mode=$1 dir=$2 outside
    case $mode in
        none | public) outside=5.6.7.8/24 ;;
        shared) outside=100.64.7.8/10 ;;
        *) echo "router_up: unknown mode $mode" >&2; return 2 ;;
    esac
    mkdir -p "$dir"
    # A fresh router: no mapping left over from an earlier run.
    rm -f "$dir"/router.conf "$dir"/router.leases "$dir"/router.pid "$dir"/router.log "$dir"/upnpc.txt*
    # The router's namespace lives as long as this process.
    unshare -n sleep infinity &
    ROUTER_NS_PID=$!
    local i
    for i in $(seq 1 50); do
        [ "$(readlink "/proc/$ROUTER_NS_PID/ns/net")" != "$(readlink /proc/self/ns/net)" ] && break
        sleep 0.1
    done
    local in_router=(nsenter -t "$ROUTER_NS_PID" -n)
    # This computer's side of the LAN, and the router's.
    ip link add lanp type veth peer name lan0 netns "$ROUTER_NS_PID" || { router_down; return 1; }
    ip addr add 192.168.77.2/24 dev lanp
    ip link set lanp up
    ip route add default via 192.168.77.1
    "${in_router[@]}" sh -e -c "
        ip link set lo up
        ip addr add 192.168.77.1/24 dev lan0
        ip link set lan0 multicast on
        ip link set lan0 up
        ip route add 239.0.0.0/8 dev lan0
        ip link add wan0 type veth peer name wanpeer
        ip link set wanpeer up
        ip addr add $outside dev wan0
        ip link set wan0 up
    " || { router_down; return 1; }
    export KESTRUM_ROUTER=$mode KESTRUM_LAN_ADDRESS=192.168.77.2 KESTRUM_ROUTER_OUTSIDE=${outside%/*}
    export KESTRUM_ROUTER_URL=http://192.168.77.1:5555/rootDesc.xml KESTRUM_ROUTER_DIR=$dir
    [ "$mode" = none ] && return 0

    # The chains miniupnpd fills (Debian's iptables_init.sh needs a helper file it lacks).
    "${in_router[@]}" sh -e -c '
        iptables-legacy -t nat -N MINIUPNPD
        iptables-legacy -t nat -A PREROUTING -i wan0 -j MINIUPNPD
        iptables-legacy -t nat -N MINIUPNPD-POSTROUTING
        iptables-legacy -t nat -A POSTROUTING -o wan0 -j MINIUPNPD-POSTROUTING
        iptables-legacy -t filter -N MINIUPNPD
        iptables-legacy -t filter -A FORWARD -i wan0 ! -o wan0 -j MINIUPNPD
        iptables-legacy -t mangle -N MINIUPNPD
        iptables-legacy -t mangle -A PREROUTING -i wan0 -j MINIUPNPD
    ' || { router_down; return 1; }
    cat >"$dir/router.conf" <<EOF
ext_ifname=wan0
lease_file=$dir/router.leases
listening_ip=lan0
port=5555
enable_upnp=yes
enable_natpmp=yes
secure_mode=no
system_uptime=yes
allow 1024-65535 192.168.77.0/24 1024-65535
allow 3389 192.168.77.0/24 3389
deny 0-65535 0.0.0.0/0 0-65535
EOF
    # -d: stays in front (its PID is ours to stop) and logs to stderr.
    "${in_router[@]}" miniupnpd -f "$dir/router.conf" -P "$dir/router.pid" -d >"$dir/router.log" 2>&1 &
    ROUTER_DAEMON_PID=$!
    for i in $(seq 1 50); do
        (exec 3<>/dev/tcp/192.168.77.1/5555) 2>/dev/null && return 0
        sleep 0.1
    done
    echo "router_up: the router daemon does not answer (see $dir/router.log)" >&2
    return 1
}

router_down() {
    if [ -n "$ROUTER_DAEMON_PID" ]; then
        kill "$ROUTER_DAEMON_PID" 2>/dev/null
        wait "$ROUTER_DAEMON_PID" 2>/dev/null
    fi
    if [ -n "$ROUTER_NS_PID" ]; then
        kill "$ROUTER_NS_PID" 2>/dev/null
        wait "$ROUTER_NS_PID" 2>/dev/null
    fi
    # The router's end of the LAN went with its namespace, and this end with it.
    ip link del lanp 2>/dev/null
    ROUTER_DAEMON_PID="" ROUTER_NS_PID=""
    unset KESTRUM_ROUTER KESTRUM_LAN_ADDRESS KESTRUM_ROUTER_OUTSIDE KESTRUM_ROUTER_URL KESTRUM_ROUTER_DIR
}
