// IPv6 text and IDs on any text: reading never fails; what reads is read as the C
// library reads it, and its canonical text and ID read back to the same address.

#include <arpa/inet.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "net/ipv6.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace kestrum::net;
    const std::string text(reinterpret_cast<const char*>(data), size);
    if (const auto fromId = IDToIpv6(text))
        if (!IsGlobalUnicast(*fromId) || IDToIpv6(Ipv6ToID(*fromId)) != fromId) std::abort();
    const auto address = ParseIpv6(text);
    // The C library reads dotted tails and stops at a zero byte; neither belongs to our form.
    unsigned char bytes[16];
    if (text.find_first_of(std::string(".\0", 2)) == std::string::npos &&
        (::inet_pton(AF_INET6, text.c_str(), bytes) == 1 ? !address || std::memcmp(address->data(), bytes, 16)
                                                         : !!address))
        std::abort();
    if (address && ParseIpv6(Ipv6Text(*address)) != address) std::abort();
    return 0;
}
