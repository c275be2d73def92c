#include "net/ipv6.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <tuple>

namespace kestrum::net {
namespace {

using Groups = std::array<std::uint16_t, 8>;

Groups ToGroups(const Ipv6Bytes& address) {
    Groups groups{};
    for (std::size_t i = 0; i < groups.size(); ++i)
        groups[i] = static_cast<std::uint16_t>(address[2 * i] << 8 | address[2 * i + 1]);
    return groups;
}

int HexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// Groups of 1 to 4 hex digits, each followed by ":" but the last; "" holds none.
// Nothing when the text is anything else or holds more than `most` groups.
std::optional<std::vector<std::uint16_t>> ReadGroups(std::string_view text, std::size_t most) {
    std::vector<std::uint16_t> groups;
    if (text.empty()) return groups;
    std::size_t start = 0;
    while (true) {
        const std::size_t end = std::min(text.find(':', start), text.size());
        const std::string_view digits = text.substr(start, end - start);
        if (digits.empty() || digits.size() > 4 || groups.size() == most) return std::nullopt;
        unsigned value = 0;
        for (const char c : digits) {
            const int digit = HexValue(c);
            if (digit < 0) return std::nullopt;
            value = value << 4 | static_cast<unsigned>(digit);
        }
        groups.push_back(static_cast<std::uint16_t>(value));
        if (end == text.size()) return groups;
        start = end + 1;
    }
}

}  // namespace

std::string Ipv6Text(const Ipv6Bytes& address) {
    const Groups groups = ToGroups(address);
    // The longest run of zero groups, the first of equally long ones; one alone stays.
    std::size_t bestStart = 0, bestLength = 0;
    for (std::size_t i = 0; i < groups.size();) {
        std::size_t length = 0;
        while (i + length < groups.size() && groups[i + length] == 0) ++length;
        if (length > bestLength) std::tie(bestStart, bestLength) = std::tuple(i, length);
        i += length ? length : 1;
    }
    if (bestLength < 2) bestLength = 0;
    static constexpr char kDigits[] = "0123456789abcdef";
    std::string text;
    for (std::size_t i = 0; i < groups.size(); ++i) {
        if (bestLength && i == bestStart) {
            text += "::";
            i += bestLength - 1;
            continue;
        }
        if (!text.empty() && text.back() != ':') text += ':';
        bool leading = true;
        for (int shift = 12; shift >= 0; shift -= 4) {
            const unsigned digit = groups[i] >> shift & 0xF;
            if (leading && digit == 0 && shift > 0) continue;
            leading = false;
            text += kDigits[digit];
        }
    }
    return text;
}

std::optional<Ipv6Bytes> ParseIpv6(std::string_view text) {
    const std::size_t gap = text.find("::");
    std::optional<std::vector<std::uint16_t>> head, tail;
    if (gap == std::string_view::npos) {
        head = ReadGroups(text, 8);
        if (!head || head->size() != 8) return std::nullopt;
        tail.emplace();
    } else {
        // "::" stands for one zero group at least, so seven are the most around it.
        head = ReadGroups(text.substr(0, gap), 7);
        tail = head ? ReadGroups(text.substr(gap + 2), 7 - head->size()) : std::nullopt;
        if (!tail) return std::nullopt;
    }
    Groups groups{};
    std::copy(head->begin(), head->end(), groups.begin());
    std::copy(tail->begin(), tail->end(), groups.end() - static_cast<std::ptrdiff_t>(tail->size()));
    Ipv6Bytes address{};
    for (std::size_t i = 0; i < groups.size(); ++i) {
        address[2 * i] = static_cast<std::uint8_t>(groups[i] >> 8);
        address[2 * i + 1] = static_cast<std::uint8_t>(groups[i] & 0xFF);
    }
    return address;
}

bool IsGlobalUnicast(const Ipv6Bytes& address) { return (address[0] & 0xE0) == 0x20; }

std::string Ipv6ToID(const Ipv6Bytes& address) {
    std::string id = Ipv6Text(address);
    std::replace(id.begin(), id.end(), ':', '-');
    return id;
}

std::optional<Ipv6Bytes> IDToIpv6(std::string_view id) {
    // An ID is written with "-" only: the address text itself is not an ID.
    if (id.find(':') != std::string_view::npos) return std::nullopt;
    std::string text(id);
    std::replace(text.begin(), text.end(), '-', ':');
    const std::optional<Ipv6Bytes> address = ParseIpv6(text);
    if (!address || !IsGlobalUnicast(*address)) return std::nullopt;
    return address;
}

std::optional<Ipv6Bytes> ChooseIpv6(const std::vector<platform::LocalIpv6>& addresses) {
    using State = platform::LocalIpv6::State;
    const platform::LocalIpv6* best = nullptr;
    const auto rank = [](const platform::LocalIpv6& a) { return std::pair(a.temporary, a.state == State::Deprecated); };
    for (const platform::LocalIpv6& candidate : addresses) {
        if (!IsGlobalUnicast(candidate.address) || candidate.state == State::NotUsable || !candidate.onDefaultRoute)
            continue;
        if (!best || rank(candidate) < rank(*best)) best = &candidate;  // strictly better: the first listed stays
    }
    if (!best) return std::nullopt;
    return best->address;
}

}  // namespace kestrum::net
