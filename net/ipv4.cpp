#include "net/ipv4.h"

namespace kestrum::net {

std::optional<Ipv4Bytes> ParseIpv4(std::string_view text) {
    Ipv4Bytes address{};
    for (std::size_t part = 0; part < address.size(); ++part) {
        if (part > 0) {
            if (text.empty() || text.front() != '.') return std::nullopt;
            text.remove_prefix(1);
        }
        unsigned number = 0;
        std::size_t digits = 0;
        while (digits < text.size() && digits < 3 && text[digits] >= '0' && text[digits] <= '9')
            number = number * 10 + static_cast<unsigned>(text[digits++] - '0');
        if (digits == 0 || number > 255) return std::nullopt;
        text.remove_prefix(digits);
        address[part] = static_cast<std::uint8_t>(number);
    }
    if (!text.empty()) return std::nullopt;
    return address;
}

std::string FormatIpv4(const Ipv4Bytes& address) {
    return std::to_string(address[0]) + '.' + std::to_string(address[1]) + '.' + std::to_string(address[2]) + '.' +
           std::to_string(address[3]);
}

bool IsPlainIpv4(std::string_view text) {
    const std::optional<Ipv4Bytes> address = ParseIpv4(text);
    return address && FormatIpv4(*address) == text;
}

}  // namespace kestrum::net
