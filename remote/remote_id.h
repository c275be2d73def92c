#pragma once
// What a remote ID must look like, and the check every action on a remote
// computer passes before it runs.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "platform/local_addresses.h"
#include "platform/network.h"

namespace kestrum::remote {

// The first look at what the user typed (blanks already trimmed): something,
// with at least one "-" in it.
bool LooksLikeId(std::string_view trimmed);

// The shape test a remote ID passes before it is looked up: four parts between
// three "-", empty parts included. What the parts hold is the codec's business.
bool HasFourParts(std::string_view id);

// A typed remote ID decoded for the check and the actions: an IPv6 ID (blanks
// around it aside) gives its address; any other text is read by the IPv4 codec
// with the user's decimal separator, as it always was.
struct RemoteAddress {
    std::optional<platform::Ipv6Bytes> ipv6;
    std::string ipv4;  // the codec's address text, when not IPv6
};
RemoteAddress DecodeRemoteID(std::string_view id, std::string_view decimalSeparator);

// The address as the user is shown it: "1.2.3.4", or "2001:db8:77::2".
std::string AddressText(const RemoteAddress& address);

// The ports of the services the actions use: Remote Desktop (also for the
// address given for a VPN) and the shared folders.
inline constexpr std::uint16_t kRemoteDesktopPort = 3389;
inline constexpr std::uint16_t kSharedFoldersPort = 445;
// How long the service's port may take to answer.
inline constexpr unsigned kPortTimeoutMs = 3000;

// The ways of asking whether the computer at an address answers; the check
// asks them in turn, and one yes is enough. Firewalls commonly drop the hop
// probe, so the service's own port is asked next.
struct RemoteProbes {
    platform::HopProbe& hops;
    platform::PortProbe& ports;
    std::uint16_t servicePort = kRemoteDesktopPort;
};

enum class RemoteIdCheck { Available, WrongId, NotAvailable };

// Decodes the ID (with the user's decimal separator) and asks the probes about
// its address; an IPv4 ID of the wrong shape is not looked up at all. An IPv6 ID is
// asked on the service's port only: not every system sends ICMPv6 echoes for the
// hop probe (Wine has none).
RemoteIdCheck CheckRemoteID(const std::string& id, std::string_view decimalSeparator, const RemoteProbes& probes);

// What the user is told when the check failed; the empty text when it passed.
std::string RemoteIdCheckText(RemoteIdCheck result, const std::string& id);

}  // namespace kestrum::remote
