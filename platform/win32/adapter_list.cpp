#include "platform/win32/adapter_list.h"

#include <cstring>

#include "platform/win32/socket_owner.h"

namespace kestrum::win32 {

AdapterList::AdapterList() {
    constexpr ULONG kFlags = GAA_FLAG_SKIP_ANYCAST | GAA_FLAG_SKIP_MULTICAST | GAA_FLAG_SKIP_DNS_SERVER;
    ULONG size = 16 * 1024;
    ULONG result = ERROR_BUFFER_OVERFLOW;
    // The list may grow between the two calls: a few tries.
    for (int tries = 0; tries < 4 && result == ERROR_BUFFER_OVERFLOW; ++tries) {
        buffer_.assign(size / sizeof(std::uint64_t) + 1, 0);
        result = ::GetAdaptersAddresses(AF_UNSPEC, kFlags, nullptr,
                                        reinterpret_cast<IP_ADAPTER_ADDRESSES*>(buffer_.data()), &size);
    }
    read_ = result == NO_ERROR;
}

const IP_ADAPTER_ADDRESSES* AdapterList::first() const {
    return read_ ? reinterpret_cast<const IP_ADAPTER_ADDRESSES*>(buffer_.data()) : nullptr;
}

DWORD InterfaceOf(const in6_addr& address) {
    const AdapterList adapters;
    for (const IP_ADAPTER_ADDRESSES* adapter = adapters.first(); adapter; adapter = adapter->Next)
        for (const IP_ADAPTER_UNICAST_ADDRESS* unicast = adapter->FirstUnicastAddress; unicast;
             unicast = unicast->Next) {
            const sockaddr* held = unicast->Address.lpSockaddr;
            if (held && held->sa_family == AF_INET6 &&
                std::memcmp(&reinterpret_cast<const sockaddr_in6*>(held)->sin6_addr, &address, sizeof address) == 0)
                return adapter->Ipv6IfIndex ? adapter->Ipv6IfIndex : adapter->IfIndex;
        }
    return 0;
}

bool RouteSource(const sockaddr& to, int toLength, sockaddr_storage& source) {
    const SocketsStarted sockets;
    const UniqueSocket probe(sockets ? ::socket(to.sa_family, SOCK_DGRAM, IPPROTO_UDP) : INVALID_SOCKET);
    int length = sizeof source;
    return probe && ::connect(probe.get(), &to, toLength) == 0 &&
           ::getsockname(probe.get(), reinterpret_cast<sockaddr*>(&source), &length) == 0;
}

}  // namespace kestrum::win32
