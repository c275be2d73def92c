# Sourced by the fixtures of the tests under Wine: a home router, made of a private
# network namespace that holds Debian's UPnP router daemon (miniupnpd), with "this
# computer" behind it and a host on the "Internet" in front of it, each in a network
# namespace of its own (run as root). This computer is 192.168.77.2 and
# 2001:db8:77::2 behind the router 192.168.77.1 and 2001:db8:77::1; the router's
# outside link ends at the Internet host (2001:db8:ff::2, and the outside address
# + 1), so nothing can leave them. The router's IPv6 firewall drops what the outside
# starts unless a pinhole lets it in. Each namespace lives as long as a process that
# holds it, so the router outlives the shell that made it; the PIDs of everything
# started here are kept in DIR/pids, and only those are stopped.
#
#   router_up MODE DIR   MODE: none (a gateway that does not speak UPnP), public
#                        (outside address 5.6.7.8) or shared (outside address in
#                        100.64/10, as behind a provider's NAT); DIR: its files and log
#   router_down DIR
#
# router_up exports KESTRUM_NETNS (this computer's namespace, for nsenter --net=),
# KESTRUM_ROUTER (the mode), KESTRUM_LAN_ADDRESS (this computer's
# address on the router's network), KESTRUM_ROUTER_OUTSIDE (the router's outside
# address) and KESTRUM_ROUTER_URL (its description, which upnpc -u takes); and for IPv6 KESTRUM_LAN_ADDRESS6 (this computer's
# address), KESTRUM_OUTSIDE_HOST6 (the Internet host's) and KESTRUM_OUTSIDE_CONTROL
# (the port where tests/support/outside_host.py there tells whether it reaches an
# address and port: one line "HOST PORT" in, "open" or "closed" out).

ROUTER_SCRIPTS=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)

# router_namespace DIR VAR: a namespace of its own, living as long as the process whose
# PID goes to VAR and to DIR/pids.
router_namespace() {
    unshare -n sleep infinity </dev/null >/dev/null 2>&1 &
    local pid=$!
    echo "$pid" >>"$1/pids"
    printf -v "$2" %s "$pid"
    for _ in $(seq 1 50); do
        [ "$(readlink "/proc/$pid/ns/net")" != "$(readlink /proc/self/ns/net)" ] && break
        sleep 0.1
    done
}

router_up() {
    local mode=$1 dir=$2 outside host  # host: the Internet host's IPv4 address
    case $mode in
        none | public) outside=5.6.7.8/24 host=5.6.7.9/24 ;;
        shared) outside=100.64.7.8/10 host=100.64.7.9/10 ;;
        *) echo "router_up: unknown mode $mode" >&2; return 2 ;;
    esac
    router_down "$dir"  # a fresh router: nothing left over from an earlier run
    mkdir -p "$dir"
    rm -f "$dir"/router.* "$dir"/upnpc.txt* "$dir"/outside.log
    local computer router outside_host
    router_namespace "$dir" computer
    router_namespace "$dir" router
    router_namespace "$dir" outside_host
    local in_computer=(nsenter -t "$computer" -n) in_router=(nsenter -t "$router" -n)
    local in_outside=(nsenter -t "$outside_host" -n)
    # This computer's side of the LAN, and the router's. Duplicate address detection
    # is off everywhere: a new IPv6 address is usable at once instead of after 1-2 s.
    "${in_computer[@]}" sh -e -c "
        ip link set lo up
        ip link add lanp type veth peer name lan0 netns $router
        sysctl -qw net.ipv6.conf.all.accept_dad=0 net.ipv6.conf.lanp.accept_dad=0
        ip addr add 192.168.77.2/24 dev lanp
        ip addr add 2001:db8:77::2/64 dev lanp nodad
        ip link set lanp up
        ip route add default via 192.168.77.1
        ip -6 route add default via 2001:db8:77::1 dev lanp
    " || { router_down "$dir"; return 1; }
    "${in_router[@]}" sh -e -c "
        sysctl -qw net.ipv6.conf.all.accept_dad=0 net.ipv6.conf.default.accept_dad=0 net.ipv6.conf.lan0.accept_dad=0
        sysctl -qw net.ipv6.conf.all.forwarding=1 net.ipv4.ip_forward=1
        ip link set lo up
        ip addr add 192.168.77.1/24 dev lan0
        ip addr add 2001:db8:77::1/64 dev lan0 nodad
        ip link set lan0 multicast on
        ip link set lan0 up
        ip route add 239.0.0.0/8 dev lan0
        ip link add wan0 type veth peer name wanpeer netns $outside_host
        ip addr add $outside dev wan0
        ip addr add 2001:db8:ff::1/64 dev wan0 nodad
        ip link set wan0 up
    " || { router_down "$dir"; return 1; }
    "${in_outside[@]}" sh -e -c "
        sysctl -qw net.ipv6.conf.all.accept_dad=0 net.ipv6.conf.wanpeer.accept_dad=0
        ip link set lo up
        ip addr add $host dev wanpeer
        ip addr add 2001:db8:ff::2/64 dev wanpeer nodad
        ip link set wanpeer up
        ip -6 route add default via 2001:db8:ff::1
    " || { router_down "$dir"; return 1; }
    # The router's IPv6 firewall, as a home router's: what the outside starts is
    # dropped unless it is an answer or a pinhole (the chain miniupnpd fills) lets it in.
    "${in_router[@]}" sh -e -c '
        ip6tables-legacy -w -P FORWARD DROP
        ip6tables-legacy -w -A FORWARD -m conntrack --ctstate ESTABLISHED,RELATED -j ACCEPT
        ip6tables-legacy -w -A FORWARD -m conntrack --ctstate INVALID -j DROP
        ip6tables-legacy -w -A FORWARD -i lan0 -o wan0 -j ACCEPT
        ip6tables-legacy -w -N MINIUPNPD
        ip6tables-legacy -w -A FORWARD -i wan0 ! -o wan0 -j MINIUPNPD
    ' || { router_down "$dir"; return 1; }
    # The Internet host: takes connections on 3389 and answers what it can reach.
    "${in_outside[@]}" python3 "$ROUTER_SCRIPTS/../tests/support/outside_host.py" 2001:db8:ff::2 3389 7000 \
        </dev/null >"$dir/outside.log" 2>&1 &
    echo $! >>"$dir/pids"
    export KESTRUM_NETNS=/proc/$computer/ns/net KESTRUM_ROUTER=$mode KESTRUM_LAN_ADDRESS=192.168.77.2 KESTRUM_ROUTER_OUTSIDE=${outside%/*}
    export KESTRUM_ROUTER_URL=http://192.168.77.1:5555/rootDesc.xml
    export KESTRUM_LAN_ADDRESS6=2001:db8:77::2 KESTRUM_OUTSIDE_HOST6=2001:db8:ff::2 KESTRUM_OUTSIDE_CONTROL=7000
    for _ in $(seq 1 50); do
        "${in_outside[@]}" bash -c "exec 3<>/dev/tcp/2001:db8:ff::2/7000" 2>/dev/null && break
        sleep 0.1
    done
    [ "$mode" = none ] && return 0

    # The chains miniupnpd fills (Debian's iptables_init.sh needs a helper file it lacks).
    "${in_router[@]}" sh -e -c '
        iptables-legacy -w -t nat -N MINIUPNPD
        iptables-legacy -w -t nat -A PREROUTING -i wan0 -j MINIUPNPD
        iptables-legacy -w -t nat -N MINIUPNPD-POSTROUTING
        iptables-legacy -w -t nat -A POSTROUTING -o wan0 -j MINIUPNPD-POSTROUTING
        iptables-legacy -w -t filter -N MINIUPNPD
        iptables-legacy -w -t filter -A FORWARD -i wan0 ! -o wan0 -j MINIUPNPD
        iptables-legacy -w -t mangle -N MINIUPNPD
        iptables-legacy -w -t mangle -A PREROUTING -i wan0 -j MINIUPNPD
    ' || { router_down "$dir"; return 1; }
    cat >"$dir/router.conf" <<EOF
ext_ifname=wan0
ext_ifname6=wan0
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
    "${in_router[@]}" miniupnpd -f "$dir/router.conf" -P "$dir/router.pid" -d </dev/null >"$dir/router.log" 2>&1 &
    echo $! >>"$dir/pids"
    for _ in $(seq 1 50); do
        "${in_computer[@]}" bash -c "exec 3<>/dev/tcp/192.168.77.1/5555" 2>/dev/null && return 0
        sleep 0.1
    done
    echo "router_up: the router daemon does not answer (see $dir/router.log)" >&2
    return 1
}

router_down() {
    local pid
    [ -f "$1/pids" ] || return 0
    # The daemon and the helper first (listed last), then the namespaces; the links go with them.
    for pid in $(tac "$1/pids"); do
        kill "$pid" 2>/dev/null
    done
    rm -f "$1/pids"
}
