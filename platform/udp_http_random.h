#pragma once
// What IP.EXE asks of the network: UDP exchanges with STUN servers, HTTP GETs to
// address-echo services, and unpredictable bytes for STUN transaction IDs.
// Every call may come from several threads at once.

#include <array>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace kestrum::platform {

struct Ipv4Endpoint {
    std::array<std::uint8_t, 4> address{};
    std::uint16_t port = 0;
    bool operator==(const Ipv4Endpoint&) const = default;
};

struct UdpReceive {
    enum class Status { Datagram, Timeout, Failed };
    Status status = Status::Timeout;
    std::vector<std::uint8_t> bytes;  // the datagram, cut at the receive buffer's size
};

// A UDP socket connected to one peer, so only that peer's datagrams arrive.
class UdpSocket {
public:
    virtual ~UdpSocket() = default;
    virtual bool send(const std::vector<std::uint8_t>& datagram) = 0;
    // Waits at most timeout for one datagram.
    virtual UdpReceive receive(std::chrono::milliseconds timeout) = 0;
};

class UdpNetwork {
public:
    virtual ~UdpNetwork() = default;
    // The IPv4 addresses of a host name or dotted address; empty when it has none.
    virtual std::vector<Ipv4Endpoint> resolve(const std::string& host, std::uint16_t port) = 0;
    // nullptr when no socket could be made.
    virtual std::unique_ptr<UdpSocket> connect(const Ipv4Endpoint& peer) = 0;
};

struct HttpReply {
    int status = 0;
    std::string body;  // at most the bytes asked for
};

class HttpClient {
public:
    virtual ~HttpClient() = default;
    // A GET past any cache, through the configured proxy. Reads at most
    // maxBodyBytes of the body; nothing when no response came within timeout.
    virtual std::optional<HttpReply> get(const std::string& url, std::size_t maxBodyBytes,
                                         std::chrono::milliseconds timeout) = 0;
};

class RandomSource {
public:
    virtual ~RandomSource() = default;
    // Fills with cryptographically unpredictable bytes; false when none are to be had.
    virtual bool fill(std::span<std::uint8_t> bytes) = 0;
};

}  // namespace kestrum::platform
