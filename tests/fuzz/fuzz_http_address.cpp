// The reply of an address-echo service is whatever a stranger sends: reading it
// never fails, and what it gives is a well-formed address that the body holds.

#include <cstdint>
#include <cstdlib>
#include <string>

#include "ipexe/address.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1) return 0;
    kestrum::platform::HttpReply reply;
    reply.status = data[0] & 1 ? 200 : 404;
    reply.body.assign(reinterpret_cast<const char*>(data) + 1, size - 1);
    const auto address = kestrum::ipexe::AddressFromHttpReply(reply);
    if (address && (reply.status != 200 || !kestrum::ipexe::IsWellFormedIpv4(*address) ||
                    reply.body.find(*address) == std::string::npos || reply.body.size() > kestrum::ipexe::kMaxHttpBody))
        std::abort();
    return 0;
}
