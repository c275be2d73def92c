// IPv6 text and IDs on any text: reading never fails; what reads is read as the C
// library reads it, and its canonical text and ID read back to the same address.

#include <arpa/inet.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "net/ipv6.h"

namespace {

void Check(bool ok, const char* what, const std::string& text) {
    if (ok) return;
    std::fprintf(stderr, "%s: \"%s\"\n", what, text.c_str());
    std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace kestrum::net;
    const std::string text(reinterpret_cast<const char*>(data), size);
    const auto address = ParseIpv6(text);
    const auto fromId = IDToIpv6(text);
    if (fromId) {
        Check(IsGlobalUnicast(*fromId), "an ID of a non-global address", text);
        Check(IDToIpv6(Ipv6ToID(*fromId)) == fromId, "the ID does not read back", text);
    }
    // The C library reads dotted tails and stops at a zero byte; neither belongs to our form.
    if (text.find('.') == std::string::npos && text.find('\0') == std::string::npos) {
        unsigned char bytes[16];
        const bool libraryReads = ::inet_pton(AF_INET6, text.c_str(), bytes) == 1;
        Check(address.has_value() == libraryReads, "read otherwise than inet_pton", text);
        if (address) Check(std::memcmp(address->data(), bytes, 16) == 0, "another address than inet_pton", text);
    }
    if (!address) return 0;
    const std::string canonical = Ipv6Text(*address);
    Check(ParseIpv6(canonical) == address, "the text does not read back", text);
    // inet_ntop writes the IPv4-compatible and -mapped forms with dots; every other is canonical.
    char written[INET6_ADDRSTRLEN];
    Check(::inet_ntop(AF_INET6, address->data(), written, sizeof written) != nullptr, "inet_ntop", text);
    if (!std::strchr(written, '.')) Check(canonical == written, "not the canonical text", text);
    return 0;
}
