#include <winsock2.h>
// winsock2.h before the rest, which would otherwise pull in the old winsock.h.
#include "platform/win32/router_link.h"

#include <ws2tcpip.h>

#include <algorithm>
#include <cstring>

#include "platform/win32/adapter_list.h"
#include "platform/win32/socket_owner.h"

namespace kestrum::win32 {
namespace {

using Clock = std::chrono::steady_clock;

struct Endpoint {
    sockaddr_storage address{};
    int size = 0;
    int family() const { return address.ss_family; }
    const sockaddr* get() const { return reinterpret_cast<const sockaddr*>(&address); }
};

// An address text (IPv4 or IPv6, without brackets) and a port; nothing when the text is neither.
std::optional<Endpoint> Parse(const std::string& text, std::uint16_t port) {
    Endpoint at;
    auto* v4 = reinterpret_cast<sockaddr_in*>(&at.address);
    auto* v6 = reinterpret_cast<sockaddr_in6*>(&at.address);
    if (::inet_pton(AF_INET, text.c_str(), &v4->sin_addr) == 1) {
        v4->sin_family = AF_INET;
        v4->sin_port = ::htons(port);
        at.size = sizeof *v4;
    } else if (::inet_pton(AF_INET6, text.c_str(), &v6->sin6_addr) == 1) {
        v6->sin6_family = AF_INET6;
        v6->sin6_port = ::htons(port);
        at.size = sizeof *v6;
    } else {
        return std::nullopt;
    }
    return at;
}

// A socket of the source's family bound to the source (any port); nothing when it
// cannot be had. A link-local source is bound on its own link.
UniqueSocket BoundSocket(Endpoint& source, int type, int protocol) {
    UniqueSocket socket(::socket(source.family(), type, protocol));
    if (source.family() == AF_INET6) {
        auto& v6 = reinterpret_cast<sockaddr_in6&>(source.address);
        if (IN6_IS_ADDR_LINKLOCAL(&v6.sin6_addr)) v6.sin6_scope_id = InterfaceOf(v6.sin6_addr);
    }
    if (socket && ::bind(socket.get(), source.get(), source.size) != 0) socket.reset();
    return socket;
}

// Waits until the socket can be read (or written), at most until the deadline;
// false when it could not, failed, or the time ran out.
bool Ready(SOCKET socket, bool toWrite, Clock::time_point deadline) {
    const auto left = std::chrono::duration_cast<std::chrono::microseconds>(deadline - Clock::now()).count();
    if (left <= 0) return false;
    fd_set ready, failed;
    FD_ZERO(&ready);
    FD_ZERO(&failed);
    FD_SET(socket, &ready);
    FD_SET(socket, &failed);
    timeval wait{static_cast<long>(left / 1000000), static_cast<long>(left % 1000000)};
    return ::select(0, toWrite ? nullptr : &ready, toWrite ? &ready : nullptr, &failed, &wait) > 0 &&
           FD_ISSET(socket, &ready) && !FD_ISSET(socket, &failed);
}

template <typename T>
bool SetOption(SOCKET socket, int level, int name, T value) {
    return ::setsockopt(socket, level, name, reinterpret_cast<const char*>(&value), sizeof value) == 0;
}

// The answer's buffer: at most maxBytes, and never more than an int can count.
int Chunk(std::size_t maxBytes, std::size_t held) {
    return static_cast<int>(std::min<std::size_t>(maxBytes - held, std::size_t{64} * 1024));
}

}  // namespace

std::optional<std::string> WinsockRouterLink::search(const std::string& source, const std::string& message,
                                                     std::size_t maxBytes, std::chrono::milliseconds wait) {
    const auto deadline = Clock::now() + wait;
    const SocketsStarted sockets;
    std::optional<Endpoint> from = Parse(source, 0);
    if (!sockets || !from) return std::nullopt;
    const bool v4 = from->family() == AF_INET;
    const std::optional<Endpoint> group = v4 ? Parse("239.255.255.250", 1900) : Parse("ff02::c", 1900);
    const UniqueSocket socket = BoundSocket(*from, SOCK_DGRAM, IPPROTO_UDP);
    if (!socket) return std::nullopt;
    // The search leaves by the source's own link, and goes no further than the router.
    const bool set = v4 ? SetOption(socket.get(), IPPROTO_IP, IP_MULTICAST_IF,
                                    reinterpret_cast<const sockaddr_in&>(from->address).sin_addr) &&
                              SetOption(socket.get(), IPPROTO_IP, IP_MULTICAST_TTL, DWORD{2})
                        : SetOption(socket.get(), IPPROTO_IPV6, IPV6_MULTICAST_IF,
                                    InterfaceOf(reinterpret_cast<const sockaddr_in6&>(from->address).sin6_addr)) &&
                              SetOption(socket.get(), IPPROTO_IPV6, IPV6_MULTICAST_HOPS, DWORD{2});
    const int size = static_cast<int>(message.size());
    if (!set || ::sendto(socket.get(), message.data(), size, 0, group->get(), group->size) != size) return std::nullopt;
    std::string answer(static_cast<std::size_t>(Chunk(maxBytes, 0)), '\0');
    while (Ready(socket.get(), false, deadline)) {
        const int got = ::recv(socket.get(), answer.data(), static_cast<int>(answer.size()), 0);
        // A longer datagram arrives cut to the buffer, and is still the answer.
        if (got < 0 && ::WSAGetLastError() == WSAEMSGSIZE) return answer;
        if (got >= 0) return answer.substr(0, static_cast<std::size_t>(got));
    }
    return std::nullopt;
}

std::optional<std::string> WinsockRouterLink::exchange(const std::string& source, const std::string& host,
                                                       std::uint16_t port, const std::string& request,
                                                       std::size_t maxBytes, std::chrono::milliseconds wait) {
    const auto deadline = Clock::now() + wait;
    const SocketsStarted sockets;
    std::optional<Endpoint> from = Parse(source, 0);
    const std::optional<Endpoint> to = Parse(host, port);
    if (!sockets || !from || !to || from->family() != to->family()) return std::nullopt;
    const UniqueSocket socket = BoundSocket(*from, SOCK_STREAM, IPPROTO_TCP);
    u_long nonBlocking = 1;
    if (!socket || ::ioctlsocket(socket.get(), FIONBIO, &nonBlocking) != 0) return std::nullopt;

    // Connected within the bound: a silent router must not hold the caller longer.
    if (::connect(socket.get(), to->get(), to->size) != 0) {
        int error = 0, size = sizeof error;
        if (::WSAGetLastError() != WSAEWOULDBLOCK || !Ready(socket.get(), true, deadline) ||
            ::getsockopt(socket.get(), SOL_SOCKET, SO_ERROR, reinterpret_cast<char*>(&error), &size) != 0 || error)
            return std::nullopt;
    }
    for (std::size_t sent = 0; sent < request.size();) {
        if (!Ready(socket.get(), true, deadline)) return std::nullopt;
        const int put = ::send(socket.get(), request.data() + sent, Chunk(request.size(), sent), 0);
        if (put > 0) sent += static_cast<std::size_t>(put);
        else if (::WSAGetLastError() != WSAEWOULDBLOCK) return std::nullopt;
    }
    // The answer ends where the router closes the connection, or at maxBytes.
    std::string answer;
    while (answer.size() < maxBytes) {
        if (!Ready(socket.get(), false, deadline)) return std::nullopt;
        const std::size_t held = answer.size();
        answer.resize(held + static_cast<std::size_t>(Chunk(maxBytes, held)));
        const int got = ::recv(socket.get(), answer.data() + held, static_cast<int>(answer.size() - held), 0);
        answer.resize(held + static_cast<std::size_t>(std::max(got, 0)));
        if (got == 0) break;
        if (got < 0 && ::WSAGetLastError() != WSAEWOULDBLOCK) return std::nullopt;
    }
    return answer;
}

}  // namespace kestrum::win32
