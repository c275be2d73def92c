#pragma once
// What talking to the home router over UPnP takes: one SSDP search on the LAN, and
// one HTTP exchange with the router from a chosen address of this computer. Every
// answer is the router's text, to be read as hostile input.

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

namespace kestrum::platform {

class RouterLink {
public:
    virtual ~RouterLink() = default;
    // Sends `message` from `source` (an address text of this computer, IPv4 or IPv6)
    // to the SSDP group of its family: 239.255.255.250:1900, or [ff02::c]:1900 on
    // the link that holds `source`. Returns the first datagram that answers within
    // `wait` (at most maxBytes of it); nothing when none did or nothing could be sent.
    virtual std::optional<std::string> search(const std::string& source, const std::string& message,
                                              std::size_t maxBytes, std::chrono::milliseconds wait) = 0;
    // Connects from `source` (bound before connecting: the router sees that very
    // address) to host:port (an address text without brackets), sends `request`
    // and reads until the router closes the connection, at most maxBytes; nothing
    // when the connection failed or the whole exchange took longer than `wait`.
    virtual std::optional<std::string> exchange(const std::string& source, const std::string& host, std::uint16_t port,
                                                const std::string& request, std::size_t maxBytes,
                                                std::chrono::milliseconds wait) = 0;
};

}  // namespace kestrum::platform
