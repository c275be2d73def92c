// Fuzzes the reading of an address-echo service's HTTP reply against a second
// reading: the C library's inet_pton (which also wants exactly four decimal
// numbers 0-255 without leading zeros), after trimming blanks, tabs, carriage
// returns and line feeds by hand; 0.0.0.0, 255.255.255.255, bodies over the
// limit and replies other than 200 give nothing.

#include <arpa/inet.h>

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>

#include "ipexe/address.h"

namespace {

using kestrum::ipexe::AddressFromHttpReply;
using kestrum::ipexe::FormatIpv4;
using kestrum::ipexe::IsWellFormedIpv4;
using kestrum::ipexe::kMaxHttpBody;
using kestrum::platform::HttpReply;

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

std::optional<std::array<std::uint8_t, 4>> ReferenceOctets(const std::string& text) {
    if (text.find('\0') != std::string::npos) return std::nullopt;  // inet_pton would stop there
    std::array<std::uint8_t, 4> octets{};
    if (inet_pton(AF_INET, text.c_str(), octets.data()) != 1) return std::nullopt;
    if (text == "0.0.0.0" || text == "255.255.255.255") return std::nullopt;
    return octets;
}

std::optional<std::string> Reference(const HttpReply& reply) {
    if (reply.status != 200 || reply.body.size() > kMaxHttpBody) return std::nullopt;
    std::size_t begin = 0, end = reply.body.size();
    while (begin < end && IsBlank(reply.body[begin])) ++begin;
    while (end > begin && IsBlank(reply.body[end - 1])) --end;
    const std::string text = reply.body.substr(begin, end - begin);
    if (!ReferenceOctets(text)) return std::nullopt;
    return text;
}

[[noreturn]] void Fail(const char* what, const HttpReply& reply) {
    std::fprintf(stderr, "%s: status %d, body of %zu bytes \"%.*s\"\n", what, reply.status, reply.body.size(),
                 static_cast<int>(reply.body.size() > 200 ? 200 : reply.body.size()), reply.body.data());
    std::abort();
}

}  // namespace

// The first byte steers: most values mean status 200, the top ones other
// statuses; bit 0 (with 200) pads the body with trailing blanks to a length
// around the limit (kMaxHttpBody - 1 to + 2), which short inputs never reach.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    const std::uint8_t steer = data[0];
    HttpReply reply;
    reply.status = steer < 0xF0 ? 200 : (steer & 0x0F) * 40 + 100;  // 100, 140, ... 700
    reply.body.assign(reinterpret_cast<const char*>(data + 1), size - 1);
    if (steer < 0xF0 && (steer & 1)) {
        const std::size_t length = kMaxHttpBody - 1 + ((steer >> 1) & 3);
        if (reply.body.size() < length) reply.body.resize(length, (steer & 8) ? '\n' : ' ');
    }

    const auto got = AddressFromHttpReply(reply);
    const auto expected = Reference(reply);
    if (got != expected) Fail(got ? "an address the reference refuses" : "no address, the reference has one", reply);

    // Whatever is accepted is the address's own text: formatting its octets
    // gives it back, and the well-formedness test agrees with inet_pton.
    if (got) {
        const auto octets = ReferenceOctets(*got);
        if (!octets || FormatIpv4(*octets) != *got) Fail("accepted text is not the address's own", reply);
    }
    const std::string raw(reply.body);
    if (IsWellFormedIpv4(raw) != ReferenceOctets(raw).has_value()) Fail("IsWellFormedIpv4 differs", reply);
    return 0;
}
