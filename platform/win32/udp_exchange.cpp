#include "platform/win32/udp_exchange.h"

#include <winsock2.h>
#include <ws2tcpip.h>

#include <cstring>

#include "platform/win32/socket_owner.h"

namespace kestrum::win32 {

namespace {

struct AddrinfoDeleter {
    void operator()(addrinfo* list) const { ::freeaddrinfo(list); }
};

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

WinsockUdpNetwork::WinsockUdpNetwork() {
    WSADATA data;
    started_ = ::WSAStartup(MAKEWORD(2, 2), &data) == 0;
}

WinsockUdpNetwork::~WinsockUdpNetwork() {
    if (started_) ::WSACleanup();
}

std::vector<platform::Ipv4Endpoint> WinsockUdpNetwork::resolve(const std::string& host, std::uint16_t port) {
    addrinfo hints{};
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_DGRAM;
    hints.ai_protocol = IPPROTO_UDP;
    addrinfo* found = nullptr;
    if (!started_ || ::getaddrinfo(host.c_str(), std::to_string(port).c_str(), &hints, &found) != 0) return {};
    const std::unique_ptr<addrinfo, AddrinfoDeleter> list(found);
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

}  // namespace kestrum::win32
