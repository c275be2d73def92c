#pragma once
// IPv4 addresses as text: the dotted quad read into its four numbers and written
// back. Pure text functions, no state.

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace kestrum::net {

using Ipv4Bytes = std::array<std::uint8_t, 4>;

// Dotted-quad text: four parts of one to three decimal digits, 0 to 255 each,
// joined by points; a part may have leading zeros ("010" is 10). Nothing when the
// text is anything else.
std::optional<Ipv4Bytes> ParseIpv4(std::string_view text);

// The address as dotted-quad text without leading zeros: "192.168.1.7".
std::string FormatIpv4(const Ipv4Bytes& address);

// Dotted-quad text in exactly that form: no leading zeros, which some readers
// take for octal.
bool IsPlainIpv4(std::string_view text);

}  // namespace kestrum::net
