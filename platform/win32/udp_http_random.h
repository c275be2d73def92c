#pragma once
// The network and the randomness IP.EXE's sources use: UDP over Winsock 2 for the
// STUN sources, HTTP GETs through WinINet with the user's configured proxy for the
// echo sources, and the operating system's cryptographic random numbers.

#include "platform/udp_http_random.h"
#include "platform/win32/socket_owner.h"

namespace kestrum::win32 {

class WinsockUdpNetwork : public platform::UdpNetwork {
public:
    std::vector<platform::Ipv4Endpoint> resolve(const std::string& host, std::uint16_t port) override;
    std::unique_ptr<platform::UdpSocket> connect(const platform::Ipv4Endpoint& peer) override;

private:
    SocketsStarted sockets_;
};

class WininetHttpClient : public platform::HttpClient {
public:
    std::optional<platform::HttpReply> get(const std::string& url, std::size_t maxBodyBytes,
                                           std::chrono::milliseconds timeout) override;
};

class SystemRandom : public platform::RandomSource {
public:
    bool fill(std::span<std::uint8_t> bytes) override;
};

}  // namespace kestrum::win32
