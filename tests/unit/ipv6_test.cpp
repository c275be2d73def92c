// IPv6 addresses: their one text, the ID made of it and read back, and which of this
// computer's addresses the ID is made from.

#include "net/ipv6.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

namespace kestrum::net {
namespace {

using platform::LocalIpv6;
using State = LocalIpv6::State;

Ipv6Bytes Bytes(std::initializer_list<std::uint16_t> groups) {
    Ipv6Bytes bytes{};
    for (std::size_t i = 0; const std::uint16_t group : groups) {
        bytes[i++] = static_cast<std::uint8_t>(group >> 8);
        bytes[i++] = static_cast<std::uint8_t>(group);
    }
    return bytes;
}

TEST(Ipv6, TheTextIsCanonicalAndTheIdIsItWithDashes) {
    const std::pair<Ipv6Bytes, const char*> cases[] = {
        // clang-format off
        {Bytes({0x2001, 0xdb8, 0x77, 0, 0, 0, 0, 2}), "2001:db8:77::2"},
        {Bytes({0, 0, 0, 0, 0, 0, 0, 1}), "::1"},                           // the run at the start
        {Bytes({0x2001, 0xdb8, 0, 0, 0, 0, 0, 0}), "2001:db8::"},           // at the end
        {Bytes({0x2001, 0xdb8, 0, 1, 1, 1, 1, 1}), "2001:db8:0:1:1:1:1:1"}, // one zero group stays
        {Bytes({0x2001, 0, 0, 1, 0, 0, 0, 1}), "2001:0:0:1::1"},            // the longest run
        {Bytes({0x2001, 0xdb8, 0, 0, 1, 0, 0, 1}), "2001:db8::1:0:0:1"},    // the first of equal runs
        // clang-format on
    };
    for (const auto& [address, text] : cases) {
        EXPECT_EQ(Ipv6Text(address), text);
        std::string id = text;
        std::replace(id.begin(), id.end(), ':', '-');
        EXPECT_EQ(Ipv6ToID(address), id);
        EXPECT_EQ(ParseIpv6(text), address) << text;
        EXPECT_EQ(IDToIpv6(id), IsGlobalUnicast(address) ? std::optional(address) : std::nullopt) << id;
    }
}

TEST(Ipv6, OnlyAGlobalAddressWrittenWithDashesIsAnId) {
    const auto address = Bytes({0x2001, 0xdb8, 0x77, 0, 0, 0, 0, 2});
    const std::pair<const char*, std::optional<Ipv6Bytes>> cases[] = {
        // clang-format off
        {"2001-DB8-77--2", address}, {"2001-0db8-0077-0000-0000-0000-0000-0002", address},
        {"2001-db8--1", Bytes({0x2001, 0xdb8, 0, 0, 0, 0, 0, 1})}, {"3fff--", Bytes({0x3fff})},
        {"14-27-39-21", {}},  // four numbers: an IPv4 ID
        {"2001-db8-1-2", {}}, {"2001-db8-77--2-", {}}, {"2001--77--2", {}}, {"2001-db8-77--2%1", {}},  // a zone index
        {"2001-db8--1.2.3.4", {}}, {"2001:db8:77::2", {}}, {"2001-db8-0-0-0-0-0-0-2", {}},
        {"", {}}, {"fe80--1", {}}, {"fd00--1", {}}, {"--1", {}}, {"ff02--1", {}},  // not global unicast
        // clang-format on
    };
    for (const auto& [id, expected] : cases) EXPECT_EQ(IDToIpv6(id), expected) << id;
}

TEST(Ipv6, TheIdIsMadeFromAStableUsableGlobalAddress) {
    const auto a = Bytes({0x2001, 0xdb8, 0, 0, 0, 0, 0, 0xa}), b = Bytes({0x2001, 0xdb8, 0, 0, 0, 0, 0, 0xb});
    const LocalIpv6 stable{a}, stableToo{b}, temporary{b, true}, old{a, false, State::Deprecated},
        tentative{a, false, State::NotUsable}, linkLocal{Bytes({0xfe80, 0, 0, 0, 0, 0, 0, 1})},
        unique{Bytes({0xfd00, 0, 0, 0, 0, 0, 0, 1})}, loopback{Bytes({0, 0, 0, 0, 0, 0, 0, 1})},
        elsewhere{b, false, State::Preferred, false};
    const std::pair<std::vector<LocalIpv6>, std::optional<Ipv6Bytes>> cases[] = {
        {{}, {}},
        {{linkLocal, unique, loopback, tentative, elsewhere}, {}},  // none usable on the default route
        {{linkLocal, temporary, stable}, a},                        // stable first
        {{temporary, old}, a},                                      // stable first, deprecated though it is
        {{old, stableToo}, b},                                      // then preferred
        {{stableToo, stable}, b},                                   // then the first listed
    };
    for (const auto& [addresses, chosen] : cases) EXPECT_EQ(ChooseIpv6(addresses), chosen) << addresses.size();
}

}  // namespace
}  // namespace kestrum::net
