#include "ipexe/stun.h"

#include <algorithm>

namespace kestrum::ipexe {

namespace {

constexpr std::size_t kHeaderSize = 20;
constexpr std::uint8_t kFamilyIpv4 = 0x01;

std::uint16_t Read16(std::span<const std::uint8_t> bytes, std::size_t at) {
    return static_cast<std::uint16_t>(bytes[at] << 8 | bytes[at + 1]);
}

std::uint32_t Read32(std::span<const std::uint8_t> bytes, std::size_t at) {
    return std::uint32_t{Read16(bytes, at)} << 16 | Read16(bytes, at + 2);
}

// Both address attributes share one layout: reserved, family, port, address.
std::optional<platform::Ipv4Endpoint> ReadAddress(std::span<const std::uint8_t> value, bool xored) {
    if (value.size() != 8 || value[1] != kFamilyIpv4) return std::nullopt;
    const std::uint16_t portMask = xored ? kMagicCookie >> 16 : 0;
    const std::uint32_t addressMask = xored ? kMagicCookie : 0;
    platform::Ipv4Endpoint endpoint;
    endpoint.port = static_cast<std::uint16_t>(Read16(value, 2) ^ portMask);
    const std::uint32_t address = Read32(value, 4) ^ addressMask;
    for (int i = 0; i < 4; ++i) endpoint.address[i] = static_cast<std::uint8_t>(address >> (24 - 8 * i));
    return endpoint;
}

}  // namespace

std::vector<std::uint8_t> EncodeBindingRequest(const TransactionId& id) {
    std::vector<std::uint8_t> message(kHeaderSize, 0);
    message[0] = kBindingRequest >> 8;
    message[1] = kBindingRequest & 0xFF;
    // Bytes 2 and 3, the length of the attributes, stay 0.
    for (int i = 0; i < 4; ++i) message[4 + i] = static_cast<std::uint8_t>(kMagicCookie >> (24 - 8 * i));
    std::copy(id.begin(), id.end(), message.begin() + 8);
    return message;
}

std::optional<platform::Ipv4Endpoint> ParseBindingResponse(std::span<const std::uint8_t> message,
                                                           const TransactionId& id) {
    if (message.size() < kHeaderSize) return std::nullopt;
    const std::size_t length = Read16(message, 2);
    if (Read16(message, 0) != kBindingSuccess || length % 4 != 0 || kHeaderSize + length != message.size() ||
        Read32(message, 4) != kMagicCookie || !std::equal(id.begin(), id.end(), message.begin() + 8))
        return std::nullopt;

    std::optional<platform::Ipv4Endpoint> xored, plain;
    for (std::size_t at = kHeaderSize; at < message.size();) {
        if (message.size() - at < 4) return std::nullopt;
        const std::uint16_t type = Read16(message, at);
        const std::size_t valueLength = Read16(message, at + 2);
        const std::size_t padded = (valueLength + 3) / 4 * 4;
        // An attribute claiming more than the message holds spoils the whole message.
        if (padded > message.size() - at - 4) return std::nullopt;
        const auto value = message.subspan(at + 4, valueLength);
        if (type == kXorMappedAddress && !xored) xored = ReadAddress(value, true);
        if (type == kMappedAddress && !plain) plain = ReadAddress(value, false);
        at += 4 + padded;
    }
    return xored ? xored : plain;
}

}  // namespace kestrum::ipexe
