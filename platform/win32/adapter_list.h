#pragma once
// The system's list of adapters and their addresses (GetAdaptersAddresses), asked
// for both families: the IPv6-only listing fails under Wine on a machine whose
// resolver list names no IPv6 server, though the adapters have IPv6 addresses.

#include <winsock2.h>
// winsock2.h before the rest, which would otherwise pull in the old winsock.h.
#include <ws2tcpip.h>
// IP Helper after the socket headers it builds on.
#include <iphlpapi.h>

#include <cstdint>
#include <vector>

namespace kestrum::win32 {

class AdapterList {
public:
    AdapterList();
    // The first adapter, the others through Next; null when the list could not be read.
    const IP_ADAPTER_ADDRESSES* first() const;

private:
    std::vector<std::uint64_t> buffer_;  // 8-byte aligned, as the structures are
    bool read_ = false;
};

// The interface index of the adapter that holds the IPv6 address; 0 when none does.
// Wine leaves Ipv6IfIndex 0 and gives the right IfIndex.
DWORD InterfaceOf(const in6_addr& address);

// The address this computer sends from toward `to`, which picks the route and with
// it the adapter; false when there is no route. Connecting a datagram socket sends nothing.
bool RouteSource(const sockaddr& to, int toLength, sockaddr_storage& source);

}  // namespace kestrum::win32
