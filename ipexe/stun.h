#pragma once
// STUN Binding (RFC 8489): the request we send and the one answer we accept.

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "platform/udp_http_random.h"

namespace kestrum::ipexe {

using TransactionId = std::array<std::uint8_t, 12>;

inline constexpr std::uint32_t kMagicCookie = 0x2112A442;
inline constexpr std::uint16_t kBindingRequest = 0x0001;
inline constexpr std::uint16_t kBindingSuccess = 0x0101;
inline constexpr std::uint16_t kMappedAddress = 0x0001;
inline constexpr std::uint16_t kXorMappedAddress = 0x0020;

// The 20-byte header alone: a Binding request needs no attributes.
std::vector<std::uint8_t> EncodeBindingRequest(const TransactionId& id);

// The reflexive IPv4 address from a Binding success response to our request:
// XOR-MAPPED-ADDRESS, else MAPPED-ADDRESS. Anything else (another message, a
// stranger's transaction, a malformed or overrunning attribute, IPv6) is nothing.
std::optional<platform::Ipv4Endpoint> ParseBindingResponse(std::span<const std::uint8_t> message,
                                                           const TransactionId& id);

}  // namespace kestrum::ipexe
