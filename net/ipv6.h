#pragma once
// IPv6 addresses as Kestrum shows and reads them: the text form, the IPv6 ID (the
// text with "-" for ":", the form Windows uses for an IPv6 address in a name), and
// which of this computer's addresses the ID is made from.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/local_addresses.h"

namespace kestrum::net {

using platform::Ipv6Bytes;

// The address's text in its one canonical form (RFC 5952): lower-case hex without
// leading zeros, the longest run of two or more zero groups written "::" (the
// first of equally long runs), no other group left out.
std::string Ipv6Text(const Ipv6Bytes& address);

// Reads an IPv6 address text: eight groups of 1 to 4 hex digits (either case),
// or fewer with one "::". No zone index ("%"), no brackets, no blanks, no dotted
// IPv4 tail. Nothing when the text is anything else.
std::optional<Ipv6Bytes> ParseIpv6(std::string_view text);

// Global unicast: 2000::/3.
bool IsGlobalUnicast(const Ipv6Bytes& address);

// The IPv6 ID of an address: its canonical text with every ":" as "-"
// (2001:db8:77::2 is "2001-db8-77--2").
std::string Ipv6ToID(const Ipv6Bytes& address);

// The address an ID stands for when, with each "-" read as ":", it is a global
// unicast IPv6 address; nothing otherwise, and the text is then an IPv4 ID (or
// no ID) by the usual rules. Such text always holds a hex letter, a "--" or eight
// groups, so no ID of four numbers is ever read as IPv6. The address text itself,
// with its ":", is not an ID.
std::optional<Ipv6Bytes> IDToIpv6(std::string_view id);

// The address the IPv6 ID is made from: a global unicast one that is usable, on
// the adapter of the default route (another adapter's, a VPN's or a lab network's,
// is not where the Internet reaches this computer); a stable address before a temporary one, then a preferred before a
// deprecated one, then the first listed. Nothing when there is none.
std::optional<Ipv6Bytes> ChooseIpv6(const std::vector<platform::LocalIpv6>& addresses);

}  // namespace kestrum::net
