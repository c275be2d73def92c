#pragma once
// The SSDP search for the router and the answer it sends.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "upnp/gateway.h"
#include "upnp/http_message.h"

namespace kestrum::upnp {

// An answer is a few header lines; a bigger datagram is not one.
inline constexpr std::size_t kMaxSearchAnswer = 2048;

// The M-SEARCH for the family's group: the gateway device for IPv4, the IPv6
// firewall service for IPv6 (a router reached over IPv4 refuses pinholes).
std::string SearchMessage(Family family);

// The description's URL in a search answer, when its host is an address of the family.
std::optional<Url> LocationFromAnswer(std::string_view answer, Family family);

}  // namespace kestrum::upnp
