#include <winsock2.h>
// winsock2.h before the rest, which would otherwise pull in the old winsock.h.
#include "platform/win32/network.h"

#include <iphlpapi.h>
#include <wininet.h>
#include <ws2tcpip.h>

#include <algorithm>

#include "platform/win32/internet_timeouts.h"
#include "platform/win32/socket_owner.h"

namespace kestrum::win32 {

int Win32Sockets::startup(std::uint16_t version, platform::WsaData& data) {
    WSADATA wsa{};
    const int result = ::WSAStartup(version, &wsa);
    data.wVersion = wsa.wVersion;
    data.iMaxSockets = static_cast<std::int16_t>(wsa.iMaxSockets);
    return result;
}

int Win32Sockets::cleanup() { return ::WSACleanup(); }

int Win32Sockets::hostName(std::string& name, int bufferLength) {
    std::string buffer(static_cast<size_t>(bufferLength), '\0');
    const int result = ::gethostname(buffer.data(), bufferLength);
    name = buffer.substr(0, buffer.find('\0'));  // up to the terminating zero
    return result;
}

std::optional<platform::HostRecord> Win32Sockets::hostByName(const std::string& name) {
    const hostent* entry = ::gethostbyname(name.c_str());
    if (!entry) return std::nullopt;
    platform::HostRecord record;
    record.addressLength = entry->h_length;
    if (entry->h_addr_list && entry->h_addr_list[0] && entry->h_length > 0) {
        const auto* bytes = reinterpret_cast<const std::uint8_t*>(entry->h_addr_list[0]);
        record.addresses.emplace_back(bytes, bytes + entry->h_length);
    }
    return record;
}

int Win32Sockets::lastError() { return ::WSAGetLastError(); }

platform::InternetHandle WinInet::open(const std::string& agent, unsigned accessType, unsigned flags) {
    HINTERNET session = ::InternetOpenA(agent.c_str(), accessType, nullptr, nullptr, flags);
    // The probe runs while the window waits. Windows gives up on a silent server
    // after 30 s by default, but a machine's settings (or another implementation
    // of the library) may wait far longer: a proxy that takes the request and
    // never answers must not freeze the window for more than those 30 s.
    if (session) SetInternetTimeouts(session, 30000);
    return reinterpret_cast<platform::InternetHandle>(session);
}

platform::InternetHandle WinInet::openUrl(platform::InternetHandle session, const std::string& url, unsigned flags) {
    return reinterpret_cast<platform::InternetHandle>(
        ::InternetOpenUrlA(reinterpret_cast<HINTERNET>(session), url.c_str(), nullptr, 0, flags, 0));
}

void WinInet::close(platform::InternetHandle handle) { ::InternetCloseHandle(reinterpret_cast<HINTERNET>(handle)); }

namespace {

// Connects without blocking and waits at most timeoutMs for the answer: a silent
// address would otherwise hold the window for the system's whole retry time.
bool ConnectsWithin(const sockaddr& to, int length, unsigned timeoutMs) {
    const SocketsStarted sockets;
    if (!sockets) return false;
    const UniqueSocket socket(::socket(to.sa_family, SOCK_STREAM, IPPROTO_TCP));
    u_long nonBlocking = 1;
    if (!socket || ::ioctlsocket(socket.get(), FIONBIO, &nonBlocking) != 0) return false;
    if (::connect(socket.get(), &to, length) == 0) return true;
    if (::WSAGetLastError() != WSAEWOULDBLOCK) return false;
    fd_set connected, failed;
    FD_ZERO(&connected);
    FD_ZERO(&failed);
    FD_SET(socket.get(), &connected);
    FD_SET(socket.get(), &failed);
    timeval wait{static_cast<long>(timeoutMs / 1000), static_cast<long>(timeoutMs % 1000 * 1000)};
    if (::select(0, nullptr, &connected, &failed, &wait) <= 0 || FD_ISSET(socket.get(), &failed)) return false;
    int error = 0;
    int size = sizeof error;
    return ::getsockopt(socket.get(), SOL_SOCKET, SO_ERROR, reinterpret_cast<char*>(&error), &size) == 0 && error == 0;
}

}  // namespace

bool TcpPortProbe::connects(std::uint32_t address, std::uint16_t port, unsigned timeoutMs) {
    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_port = ::htons(port);
    to.sin_addr.s_addr = address;
    return ConnectsWithin(reinterpret_cast<const sockaddr&>(to), sizeof to, timeoutMs);
}

bool TcpPortProbe::connects6(const platform::Ipv6Bytes& address, std::uint16_t port, unsigned timeoutMs) {
    sockaddr_in6 to{};
    to.sin6_family = AF_INET6;
    to.sin6_port = ::htons(port);
    std::copy(address.begin(), address.end(), to.sin6_addr.s6_addr);
    return ConnectsWithin(reinterpret_cast<const sockaddr&>(to), sizeof to, timeoutMs);
}

std::uint32_t IpHelperHopProbe::inetAddr(const std::string& address) { return ::inet_addr(address.c_str()); }

int IpHelperHopProbe::rttAndHopCount(std::uint32_t address, unsigned maxHops) {
    ULONG hops = 0, rtt = 0;
    return ::GetRTTAndHopCount(address, &hops, maxHops, &rtt);
}

}  // namespace kestrum::win32
