#include <winsock2.h>
// winsock2.h before the rest, which would otherwise pull in the old winsock.h.
#include "platform/win32/local_addresses.h"

#include <iphlpapi.h>
#include <ws2tcpip.h>

#include <cstring>
#include <vector>

#include "platform/win32/adapter_list.h"

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

}  // namespace

std::string SystemLocalAddresses::gatewayLinkIpv4() {
    const DWORD gateway = DefaultGateway();
    // The address this computer sends from toward the gateway is its own on the gateway's link.
    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_port = ::htons(1900);
    to.sin_addr.s_addr = gateway;
    sockaddr_storage local{};
    char text[INET_ADDRSTRLEN] = {};
    if (!gateway || !RouteSource(reinterpret_cast<const sockaddr&>(to), sizeof to, local) ||
        !::inet_ntop(AF_INET, &reinterpret_cast<const sockaddr_in&>(local).sin_addr, text, sizeof text))
        return {};
    return text;
}

std::vector<platform::LocalIpv6> SystemLocalAddresses::ipv6() {
    // The address toward the Internet lies on the adapter of the default route.
    sockaddr_in6 internet{};
    internet.sin6_family = AF_INET6;
    internet.sin6_port = ::htons(9);
    internet.sin6_addr.s6_addr[0] = 0x20;  // 2000::, the first global unicast address
    sockaddr_storage routeSource{};
    const bool routed = RouteSource(reinterpret_cast<const sockaddr&>(internet), sizeof internet, routeSource);
    const in6_addr& sourceAddress = reinterpret_cast<const sockaddr_in6&>(routeSource).sin6_addr;
    std::vector<platform::LocalIpv6> found;
    const AdapterList adapters;
    for (const IP_ADAPTER_ADDRESSES* adapter = adapters.first(); adapter; adapter = adapter->Next) {
        if (adapter->OperStatus != IfOperStatusUp) continue;
        const std::size_t first = found.size();
        bool holdsRouteSource = false;
        for (const IP_ADAPTER_UNICAST_ADDRESS* unicast = adapter->FirstUnicastAddress; unicast;
             unicast = unicast->Next) {
            const SOCKET_ADDRESS& socketAddress = unicast->Address;
            if (!socketAddress.lpSockaddr || socketAddress.lpSockaddr->sa_family != AF_INET6 ||
                socketAddress.iSockaddrLength < static_cast<INT>(sizeof(sockaddr_in6)))
                continue;
            const in6_addr& held = reinterpret_cast<const sockaddr_in6*>(socketAddress.lpSockaddr)->sin6_addr;
            platform::LocalIpv6& address = found.emplace_back();
            std::memcpy(address.address.data(), &held, address.address.size());
            address.temporary = unicast->SuffixOrigin == IpSuffixOriginRandom;
            address.state = StateOf(unicast->DadState);
            holdsRouteSource |= routed && std::memcmp(&held, &sourceAddress, sizeof held) == 0;
        }
        for (std::size_t i = first; i < found.size(); ++i) found[i].onDefaultRoute = holdsRouteSource;
    }
    return found;
}

}  // namespace kestrum::win32
