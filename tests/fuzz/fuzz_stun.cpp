// Fuzzes the STUN Binding response parser against a reference reading of the
// same rules written out here, on raw datagrams and on datagrams given a valid
// header (so that the attribute walk is reached at once), some of them with an
// XOR-MAPPED-ADDRESS of our own in front whose address must come back.
//
// The rules: a success response (0x0101) of exactly 20 + length bytes, length a
// multiple of four, the magic cookie, our transaction; attributes each a 4-byte
// header and a value padded to four bytes, none running past the end (that
// spoils the message). The answer is the first IPv4 XOR-MAPPED-ADDRESS (value
// of exactly 8 bytes, family 1), else the first IPv4 MAPPED-ADDRESS.

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <span>
#include <vector>

#include "ipexe/stun.h"

namespace {

using kestrum::ipexe::ParseBindingResponse;
using kestrum::ipexe::TransactionId;
using kestrum::platform::Ipv4Endpoint;
using Bytes = std::vector<std::uint8_t>;

constexpr TransactionId kFixedId = {0xA5, 0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0x07, 0x08, 0x09, 0x0A, 0x0B};
constexpr std::uint8_t kCookie[4] = {0x21, 0x12, 0xA4, 0x42};

unsigned Big16(const Bytes& b, std::size_t at) { return b[at] * 256u + b[at + 1]; }

std::optional<Ipv4Endpoint> ReferenceAddress(const Bytes& m, std::size_t value, std::size_t length, bool xored) {
    if (length != 8 || m[value + 1] != 1) return std::nullopt;
    Ipv4Endpoint endpoint;
    endpoint.port = static_cast<std::uint16_t>(Big16(m, value + 2) ^ (xored ? 0x2112 : 0));
    for (int i = 0; i < 4; ++i)
        endpoint.address[i] = static_cast<std::uint8_t>(m[value + 4 + i] ^ (xored ? kCookie[i] : 0));
    return endpoint;
}

std::optional<Ipv4Endpoint> ReferenceParse(const Bytes& m, const TransactionId& id) {
    if (m.size() < 20) return std::nullopt;
    if (m[0] != 0x01 || m[1] != 0x01) return std::nullopt;
    const std::size_t length = Big16(m, 2);
    if (length % 4 != 0 || m.size() != 20 + length) return std::nullopt;
    for (int i = 0; i < 4; ++i)
        if (m[4 + i] != kCookie[i]) return std::nullopt;
    for (int i = 0; i < 12; ++i)
        if (m[8 + i] != id[i]) return std::nullopt;

    std::optional<Ipv4Endpoint> xored, plain;
    std::size_t at = 20;
    while (at != m.size()) {
        if (at + 4 > m.size()) return std::nullopt;
        const unsigned type = Big16(m, at);
        const std::size_t valueLength = Big16(m, at + 2);
        std::size_t next = at + 4 + valueLength;
        while (next % 4 != 0) ++next;
        if (next > m.size()) return std::nullopt;
        if (type == 0x0020 && !xored) xored = ReferenceAddress(m, at + 4, valueLength, true);
        if (type == 0x0001 && !plain) plain = ReferenceAddress(m, at + 4, valueLength, false);
        at = next;
    }
    if (xored) return xored;
    return plain;
}

void Print(const char* name, const std::optional<Ipv4Endpoint>& e) {
    if (e)
        std::fprintf(stderr, "  %s: %u.%u.%u.%u:%u\n", name, e->address[0], e->address[1], e->address[2],
                     e->address[3], e->port);
    else
        std::fprintf(stderr, "  %s: nothing\n", name);
}

void Compare(const Bytes& message, const TransactionId& id, const std::optional<Ipv4Endpoint>& mustBe) {
    const auto got = ParseBindingResponse(message, id);
    const auto expected = ReferenceParse(message, id);
    if (got != expected || (mustBe && expected && expected != mustBe)) {
        std::fprintf(stderr, "STUN response read differently (%zu bytes)\n", message.size());
        Print("parser", got);
        Print("reference", expected);
        if (mustBe) Print("placed in front", mustBe);
        std::abort();
    }
}

}  // namespace

// The first byte steers: bit 0 gives the rest a valid header, bit 1 puts an
// XOR-MAPPED-ADDRESS made from the next 6 bytes in front (with bit 0), bit 2
// takes the transaction from the datagram itself (raw datagrams).
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    const std::uint8_t steer = data[0];
    Bytes rest(data + 1, data + size);

    if (!(steer & 1)) {
        TransactionId id = kFixedId;
        if ((steer & 4) && rest.size() >= 20)
            for (int i = 0; i < 12; ++i) id[i] = rest[8 + i];
        Compare(rest, id, std::nullopt);
        return 0;
    }

    Bytes attributes;
    std::optional<Ipv4Endpoint> ours;
    if ((steer & 2) && rest.size() >= 6) {
        Ipv4Endpoint e;
        for (int i = 0; i < 4; ++i) e.address[i] = rest[i];
        e.port = static_cast<std::uint16_t>(rest[4] << 8 | rest[5]);
        ours = e;
        attributes = {0x00, 0x20, 0x00, 0x08, 0x00, 0x01, static_cast<std::uint8_t>((e.port >> 8) ^ 0x21),
                      static_cast<std::uint8_t>((e.port & 0xFF) ^ 0x12)};
        for (int i = 0; i < 4; ++i) attributes.push_back(e.address[i] ^ kCookie[i]);
        rest.erase(rest.begin(), rest.begin() + 6);
    }
    attributes.insert(attributes.end(), rest.begin(), rest.end());
    while (attributes.size() % 4 != 0) attributes.push_back(0);
    if (attributes.size() > 0xFFFF) return 0;

    Bytes message = {0x01, 0x01, static_cast<std::uint8_t>(attributes.size() >> 8),
                     static_cast<std::uint8_t>(attributes.size() & 0xFF)};
    message.insert(message.end(), std::begin(kCookie), std::end(kCookie));
    message.insert(message.end(), kFixedId.begin(), kFixedId.end());
    message.insert(message.end(), attributes.begin(), attributes.end());
    Compare(message, kFixedId, ours);
    return 0;
}
