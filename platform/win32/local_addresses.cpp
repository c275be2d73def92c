#include <winsock2.h>
// winsock2.h before the rest, which would otherwise pull in the old winsock.h.
#include "platform/win32/local_addresses.h"

#include <iphlpapi.h>
#include <ws2tcpip.h>

#include <algorithm>
#include <iterator>
#include <optional>

#include "platform/win32/socket_owner.h"

namespace kestrum::win32 {
namespace {

// The gateway of the default route with the lowest metric, in network order; 0 when
// there is none.
DWORD DefaultGateway() {
    ULONG size = 0;
    if (::GetIpForwardTable(nullptr, &size, FALSE) != ERROR_INSUFFICIENT_BUFFER) return 0;
    std::vector<MIB_IPFORWARDROW> rows(size / sizeof(MIB_IPFORWARDROW) + 1);
    auto* table = reinterpret_cast<MIB_IPFORWARDTABLE*>(rows.data());
    if (::GetIpForwardTable(table, &size, FALSE) != NO_ERROR) return 0;
    const MIB_IPFORWARDROW* best = nullptr;
    for (DWORD i = 0; i < table->dwNumEntries; ++i) {
        const MIB_IPFORWARDROW& row = table->table[i];
        if (row.dwForwardDest == 0 && row.dwForwardMask == 0 && row.dwForwardNextHop != 0 &&
            (!best || row.dwForwardMetric1 < best->dwForwardMetric1))
            best = &row;
    }
    return best ? best->dwForwardNextHop : 0;
}

platform::LocalIpv6::State StateOf(IP_DAD_STATE state) {
    using State = platform::LocalIpv6::State;
    switch (state) {
        case IpDadStatePreferred: return State::Preferred;
        case IpDadStateDeprecated: return State::Deprecated;
        default: return State::NotUsable;  // tentative, duplicate, invalid
    }
}

// The IPv6 address this computer would send from toward the Internet, which lies on
// the adapter of the default route; nothing when there is no such route. Connecting
// a datagram socket sends nothing: it only picks the route.
std::optional<in6_addr> DefaultRouteSource() {
    const SocketsStarted sockets;
    const UniqueSocket probe(::socket(AF_INET6, SOCK_DGRAM, IPPROTO_UDP));
    sockaddr_in6 to{};
    to.sin6_family = AF_INET6;
    to.sin6_port = ::htons(9);
    to.sin6_addr.s6_addr[0] = 0x20;  // 2000::, the first global unicast address
    sockaddr_in6 local{};
    int length = sizeof local;
    if (!sockets || !probe || ::connect(probe.get(), reinterpret_cast<const sockaddr*>(&to), sizeof to) != 0 ||
        ::getsockname(probe.get(), reinterpret_cast<sockaddr*>(&local), &length) != 0)
        return std::nullopt;
    return local.sin6_addr;
}

}  // namespace

std::string SystemLocalAddresses::gatewayLinkIpv4() {
    const DWORD gateway = DefaultGateway();
    const SocketsStarted sockets;
    if (!gateway || !sockets) return {};
    // Connecting a datagram socket sends nothing: it only picks the route, and with
    // it the address this computer has on the gateway's link.
    const UniqueSocket probe(::socket(AF_INET, SOCK_DGRAM, IPPROTO_UDP));
    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_port = ::htons(1900);
    to.sin_addr.s_addr = gateway;
    sockaddr_in local{};
    int length = sizeof local;
    char text[INET_ADDRSTRLEN] = {};
    if (!probe || ::connect(probe.get(), reinterpret_cast<const sockaddr*>(&to), sizeof to) != 0 ||
        ::getsockname(probe.get(), reinterpret_cast<sockaddr*>(&local), &length) != 0 ||
        !::inet_ntop(AF_INET, &local.sin_addr, text, sizeof text))
        return {};
    return text;
}

std::vector<platform::LocalIpv6> SystemLocalAddresses::ipv6() {
    // AF_UNSPEC, not AF_INET6: Wine fails the IPv6-only call (error 9852) when the
    // system's resolver list names no IPv6 server, though the adapters have addresses.
    constexpr ULONG kFlags = GAA_FLAG_SKIP_ANYCAST | GAA_FLAG_SKIP_MULTICAST | GAA_FLAG_SKIP_DNS_SERVER;
    std::vector<std::uint64_t> buffer;  // 8-byte aligned, as the structures are
    ULONG size = 16 * 1024;
    ULONG result = ERROR_BUFFER_OVERFLOW;
    // The list may grow between the two calls: a few tries.
    for (int tries = 0; tries < 4 && result == ERROR_BUFFER_OVERFLOW; ++tries) {
        buffer.assign(size / sizeof(std::uint64_t) + 1, 0);
        result = ::GetAdaptersAddresses(AF_UNSPEC, kFlags, nullptr,
                                        reinterpret_cast<IP_ADAPTER_ADDRESSES*>(buffer.data()), &size);
    }
    std::vector<platform::LocalIpv6> found;
    if (result != NO_ERROR) return found;
    const std::optional<in6_addr> routeSource = DefaultRouteSource();
    for (const auto* adapter = reinterpret_cast<const IP_ADAPTER_ADDRESSES*>(buffer.data()); adapter;
         adapter = adapter->Next) {
        if (adapter->OperStatus != IfOperStatusUp) continue;
        const std::size_t first = found.size();
        bool holdsRouteSource = false;
        for (const IP_ADAPTER_UNICAST_ADDRESS* unicast = adapter->FirstUnicastAddress; unicast;
             unicast = unicast->Next) {
            const SOCKET_ADDRESS& socketAddress = unicast->Address;
            if (!socketAddress.lpSockaddr || socketAddress.lpSockaddr->sa_family != AF_INET6 ||
                socketAddress.iSockaddrLength < static_cast<INT>(sizeof(sockaddr_in6)))
                continue;
            const auto* in6 = reinterpret_cast<const sockaddr_in6*>(socketAddress.lpSockaddr);
            platform::LocalIpv6& address = found.emplace_back();
            std::copy(std::begin(in6->sin6_addr.s6_addr), std::end(in6->sin6_addr.s6_addr), address.address.begin());
            address.temporary = unicast->SuffixOrigin == IpSuffixOriginRandom;
            address.state = StateOf(unicast->DadState);
            holdsRouteSource |= routeSource && std::equal(std::begin(in6->sin6_addr.s6_addr),
                                                          std::end(in6->sin6_addr.s6_addr), routeSource->s6_addr);
        }
        for (std::size_t i = first; i < found.size(); ++i) found[i].onDefaultRoute = holdsRouteSource;
    }
    return found;
}

}  // namespace kestrum::win32
