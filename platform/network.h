#pragma once
// The network calls the program makes, mirrored one to one: Windows Sockets 1.1
// for the host's own address, WinINet for the Internet probe, and the IP Helper
// hop-count probe with its address parser, and a TCP connection to a service
// (over IPv4 or IPv6).

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/facade_handle.h"
#include "platform/local_addresses.h"

namespace kestrum::platform {

// The two fields of WSADATA the program reads.
struct WsaData {
    std::uint16_t wVersion = 0;
    std::int16_t iMaxSockets = 0;  // read as a signed 16-bit number
};

// What gethostbyname returned: h_length and the entries of h_addr_list, each
// h_length bytes as they stand in memory (network order).
struct HostRecord {
    int addressLength = 0;
    std::vector<std::vector<std::uint8_t>> addresses;
};

class Sockets {
public:
    virtual ~Sockets() = default;
    virtual int startup(std::uint16_t version, WsaData& data) = 0;  // 0 on success
    virtual int cleanup() = 0;                                      // 0 on success
    // gethostname into a buffer of bufferLength bytes; 0, or -1 on failure.
    virtual int hostName(std::string& name, int bufferLength) = 0;
    // gethostbyname; nothing when it returned a null record.
    virtual std::optional<HostRecord> hostByName(const std::string& name) = 0;
    virtual int lastError() = 0;
};

// The sockets library in use, from a startup that succeeded until its owner goes:
// then cleaned up, and cleanupFailed called when that fails.
class StartedSockets {
public:
    StartedSockets() = default;  // nothing started
    StartedSockets(Sockets& sockets, std::function<void()> cleanupFailed)
        : sockets_(&sockets), cleanupFailed_(std::move(cleanupFailed)) {}
    StartedSockets(StartedSockets&& other) noexcept
        : sockets_(std::exchange(other.sockets_, nullptr)), cleanupFailed_(std::move(other.cleanupFailed_)) {}
    StartedSockets& operator=(StartedSockets&&) = delete;
    ~StartedSockets() {
        if (sockets_ && sockets_->cleanup() != 0 && cleanupFailed_) cleanupFailed_();
    }
    explicit operator bool() const { return sockets_ != nullptr; }

private:
    Sockets* sockets_ = nullptr;
    std::function<void()> cleanupFailed_;
};

using InternetHandle = std::uintptr_t;  // 0 is "no handle"

class Internet {
public:
    virtual ~Internet() = default;
    virtual InternetHandle open(const std::string& agent, unsigned accessType, unsigned flags) = 0;
    virtual InternetHandle openUrl(InternetHandle session, const std::string& url, unsigned flags) = 0;
    virtual void close(InternetHandle handle) = 0;
};

// A session or request, closed when its owner goes.
using OwnedInternetHandle = FacadeHandle<Internet, InternetHandle, &Internet::close>;

// A TCP connection to a service, closed as soon as it is made.
class PortProbe {
public:
    virtual ~PortProbe() = default;
    // Whether the address (network order) accepts a connection on the port within
    // timeoutMs; refused, unreachable and silent are all no.
    virtual bool connects(std::uint32_t address, std::uint16_t port, unsigned timeoutMs) = 0;
    // The same over IPv6.
    virtual bool connects6(const platform::Ipv6Bytes& address, std::uint16_t port, unsigned timeoutMs) = 0;
};

class HopProbe {
public:
    virtual ~HopProbe() = default;
    // inet_addr: the address in network order, or 0xFFFFFFFF when it does not parse.
    virtual std::uint32_t inetAddr(const std::string& address) = 0;
    // GetRTTAndHopCount's return value: 1 when the destination was reached.
    virtual int rttAndHopCount(std::uint32_t address, unsigned maxHops) = 0;
};

}  // namespace kestrum::platform
