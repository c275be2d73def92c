// rand_s is declared only with this, before the first C runtime header.
#define _CRT_RAND_S  // NOLINT(bugprone-reserved-identifier): the C runtime's own switch
#include <stdlib.h>

#include <winsock2.h>
// winsock2.h before the rest, which would otherwise pull in the old winsock.h.
#include <windows.h>
#include <wininet.h>
#include <ws2tcpip.h>

#include <algorithm>
#include <cstring>

#include "platform/identity.h"
#include "platform/win32/internet_timeouts.h"
#include "platform/win32/socket_owner.h"
#include "platform/win32/text.h"
#include "platform/win32/udp_http_random.h"

namespace kestrum::win32 {

namespace {

class WinsockUdpSocket : public platform::UdpSocket {
public:
    explicit WinsockUdpSocket(UniqueSocket socket) : socket_(std::move(socket)) {}

    bool send(const std::vector<std::uint8_t>& datagram) override {
        const int size = static_cast<int>(datagram.size());
        return ::send(socket_.get(), reinterpret_cast<const char*>(datagram.data()), size, 0) == size;
    }

    platform::UdpReceive receive(std::chrono::milliseconds timeout) override {
        fd_set readable;
        FD_ZERO(&readable);
        FD_SET(socket_.get(), &readable);
        const auto ms = timeout.count() < 0 ? 0 : timeout.count();
        timeval wait{static_cast<long>(ms / 1000), static_cast<long>(ms % 1000 * 1000)};
        const int ready = ::select(0, &readable, nullptr, nullptr, &wait);
        if (ready == 0) return {platform::UdpReceive::Status::Timeout, {}};
        if (ready < 0) return {platform::UdpReceive::Status::Failed, {}};
        std::vector<std::uint8_t> buffer(1500);
        const int got =
            ::recv(socket_.get(), reinterpret_cast<char*>(buffer.data()), static_cast<int>(buffer.size()), 0);
        // A datagram bigger than the buffer arrives cut short, and is still a datagram.
        if (got < 0 && ::WSAGetLastError() != WSAEMSGSIZE) return {platform::UdpReceive::Status::Failed, {}};
        if (got >= 0) buffer.resize(static_cast<std::size_t>(got));
        return {platform::UdpReceive::Status::Datagram, std::move(buffer)};
    }

private:
    UniqueSocket socket_;
};

}  // namespace

std::vector<platform::Ipv4Endpoint> WinsockUdpNetwork::resolve(const std::string& host, std::uint16_t port) {
    addrinfo hints{};
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_DGRAM;
    hints.ai_protocol = IPPROTO_UDP;
    addrinfo* found = nullptr;
    if (!sockets_ || ::getaddrinfo(host.c_str(), std::to_string(port).c_str(), &hints, &found) != 0) return {};
    const UniqueAddrinfo list(found);
    std::vector<platform::Ipv4Endpoint> endpoints;
    for (const addrinfo* entry = list.get(); entry; entry = entry->ai_next) {
        if (entry->ai_family != AF_INET || entry->ai_addrlen < sizeof(sockaddr_in)) continue;
        sockaddr_in address{};
        std::memcpy(&address, entry->ai_addr, sizeof address);
        platform::Ipv4Endpoint endpoint;
        std::memcpy(endpoint.address.data(), &address.sin_addr, 4);
        endpoint.port = ntohs(address.sin_port);
        endpoints.push_back(endpoint);
    }
    return endpoints;
}

std::unique_ptr<platform::UdpSocket> WinsockUdpNetwork::connect(const platform::Ipv4Endpoint& peer) {
    UniqueSocket socket(::socket(AF_INET, SOCK_DGRAM, IPPROTO_UDP));
    if (!socket) return nullptr;
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(peer.port);
    std::memcpy(&address.sin_addr, peer.address.data(), 4);
    if (::connect(socket.get(), reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) return nullptr;
    return std::make_unique<WinsockUdpSocket>(std::move(socket));
}

std::optional<platform::HttpReply> WininetHttpClient::get(const std::string& url, std::size_t maxBodyBytes,
                                                          std::chrono::milliseconds timeout) {
    // A session of its own per request: these run on several threads at once. The
    // agent is the title, as kestrum.exe's own probe gives it.
    UniqueHinternet session(
        ::InternetOpenW(Widen(platform::kAppTitle).c_str(), INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0));
    if (!session) return std::nullopt;
    SetInternetTimeouts(session.get(), static_cast<DWORD>(std::clamp<long long>(timeout.count(), 1, 0x7FFFFFFF)));

    const DWORD flags = INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE | INTERNET_FLAG_PRAGMA_NOCACHE |
                        INTERNET_FLAG_NO_UI | INTERNET_FLAG_NO_COOKIES;
    UniqueHinternet request(::InternetOpenUrlW(session.get(), Widen(url).c_str(), nullptr, 0, flags, 0));
    if (!request) return std::nullopt;
    DWORD status = 0, size = sizeof status;
    if (!::HttpQueryInfoW(request.get(), HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER, &status, &size, nullptr))
        return std::nullopt;

    platform::HttpReply reply{static_cast<int>(status), {}};
    char buffer[1024];
    while (reply.body.size() < maxBodyBytes) {
        const auto want = static_cast<DWORD>(std::min(sizeof buffer, maxBodyBytes - reply.body.size()));
        DWORD got = 0;
        if (!::InternetReadFile(request.get(), buffer, want, &got)) return std::nullopt;
        if (got == 0) break;
        reply.body.append(buffer, got);
    }
    return reply;
}

bool SystemRandom::fill(std::span<std::uint8_t> bytes) {
    // rand_s draws on RtlGenRandom, not on the seeded rand() sequence.
    for (std::size_t at = 0; at < bytes.size(); at += sizeof(unsigned int)) {
        unsigned int value = 0;
        if (::rand_s(&value) != 0) return false;
        for (std::size_t i = 0; i < sizeof value && at + i < bytes.size(); ++i)
            bytes[at + i] = static_cast<std::uint8_t>(value >> (8 * i));
    }
    return true;
}

}  // namespace kestrum::win32
