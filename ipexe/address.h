#pragma once
// What counts as a public IPv4 address answer, and reading one from an HTTP reply.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "platform/udp_http_random.h"

namespace kestrum::ipexe {

// Echo services send a line or two; anything bigger is not an address.
inline constexpr std::size_t kMaxHttpBody = 4096;

// Four decimal numbers 0 to 255 joined by points, without leading zeros (which
// some readers take for octal); not 0.0.0.0 and not 255.255.255.255.
bool IsWellFormedIpv4(std::string_view text);

// The address in a 200 reply whose body is that address alone, give or take
// surrounding blanks and line ends; bodies beyond kMaxHttpBody give nothing.
std::optional<std::string> AddressFromHttpReply(const platform::HttpReply& reply);

}  // namespace kestrum::ipexe
