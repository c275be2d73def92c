#include "ipexe/address.h"

#include "net/ipv4.h"
#include "platform/text_helpers.h"

namespace kestrum::ipexe {

bool IsWellFormedIpv4(std::string_view text) {
    return text != "0.0.0.0" && text != "255.255.255.255" && net::IsPlainIpv4(text);
}

std::optional<std::string> AddressFromHttpReply(const platform::HttpReply& reply) {
    if (reply.status != 200 || reply.body.size() > kMaxHttpBody) return std::nullopt;
    const std::string_view text = platform::Trimmed(reply.body, " \t\r\n");
    if (!IsWellFormedIpv4(text)) return std::nullopt;
    return std::string(text);
}

}  // namespace kestrum::ipexe
