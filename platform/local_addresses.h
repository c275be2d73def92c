#pragma once
// This computer's own addresses, as the system lists them: the IPv4 address on
// the link to the default gateway, and every IPv6 address with what the system
// knows of its lifetime. Which of them Kestrum uses is decided in portable code.

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace kestrum::platform {

using Ipv6Bytes = std::array<std::uint8_t, 16>;  // network order

struct LocalIpv6 {
    enum class State { Preferred, Deprecated, NotUsable };  // NotUsable: tentative, duplicate or invalid
    Ipv6Bytes address{};
    bool temporary = false;  // a privacy address (random suffix), replaced every day or so
    State state = State::Preferred;
    // On the adapter of the default IPv6 route: the one the Internet reaches this computer through.
    bool onDefaultRoute = true;
    bool operator==(const LocalIpv6&) const = default;
};

class LocalAddresses {
public:
    virtual ~LocalAddresses() = default;
    // This computer's address on the link to the gateway of its default IPv4 route
    // (usually the home router); "" when there is none.
    virtual std::string gatewayLinkIpv4() = 0;
    // Every IPv6 address of every adapter that is up, in the system's order.
    virtual std::vector<LocalIpv6> ipv6() = 0;
};

}  // namespace kestrum::platform
