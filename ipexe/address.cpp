#include "ipexe/address.h"

#include <algorithm>

namespace kestrum::ipexe {

bool IsWellFormedIpv4(std::string_view text) {
    if (text == "0.0.0.0" || text == "255.255.255.255") return false;
    int parts = 0;
    std::size_t at = 0;
    while (true) {
        const std::size_t end = std::min(text.find('.', at), text.size());
        const std::string_view part = text.substr(at, end - at);
        if (part.empty() || part.size() > 3 || (part.size() > 1 && part[0] == '0')) return false;
        int value = 0;
        for (const char c : part) {
            if (c < '0' || c > '9') return false;
            value = value * 10 + (c - '0');
        }
        if (value > 255 || ++parts > 4) return false;
        if (end == text.size()) return parts == 4;
        at = end + 1;
    }
}

std::string FormatIpv4(const std::array<std::uint8_t, 4>& address) {
    return std::to_string(address[0]) + '.' + std::to_string(address[1]) + '.' + std::to_string(address[2]) + '.' +
           std::to_string(address[3]);
}

std::optional<std::string> AddressFromHttpReply(const platform::HttpReply& reply) {
    if (reply.status != 200 || reply.body.size() > kMaxHttpBody) return std::nullopt;
    constexpr std::string_view kBlanks = " \t\r\n";
    const std::string_view body = reply.body;
    const std::size_t first = body.find_first_not_of(kBlanks);
    if (first == std::string_view::npos) return std::nullopt;
    const std::string_view text = body.substr(first, body.find_last_not_of(kBlanks) - first + 1);
    if (!IsWellFormedIpv4(text)) return std::nullopt;
    return std::string(text);
}

}  // namespace kestrum::ipexe
