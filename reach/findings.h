#pragma once
// What the Connection Check window tells the user: can the other side reach this
// computer's Remote Desktop, over IPv4 through the router's port, or over IPv6
// through the router's firewall? One finding a line, each with its state and, for
// a problem, what to do about it.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "remote/remote_id.h"

namespace kestrum::reach {

using remote::kRemoteDesktopPort;
inline constexpr std::string_view kTcp = "TCP";
// The description a mapping of ours carries on the router.
inline constexpr std::string_view kMappingDescription = "Kestrum";

enum class State { Good, Problem, Unknown };

struct Finding {
    std::string subject;
    State state = State::Unknown;
    std::string text;
};

// A port mapping on the router, as the router reports it.
struct PortMapping {
    int externalPort = 0;
    std::string protocol;  // "TCP" or "UDP"
    int internalPort = 0;
    std::string internalClient;  // the LAN address the router forwards to
    bool enabled = false;
    std::string description;
    bool operator==(const PortMapping&) const = default;
};

// What the router's IPv6 firewall says of itself.
struct FirewallStatus {
    bool enabled = true;
    bool pinholesAllowed = false;
};

// What the check learned. An empty optional or text: it could not be learned.
struct Observations {
    std::optional<bool> remoteDesktopOn;  // the system's own setting
    std::optional<bool> editionAccepts;   // false: this edition only connects out
    // Nothing when no router answered; else the mappings it has on port 3389.
    std::optional<std::vector<PortMapping>> mappings;
    // The router's own outside address: nothing when it did not answer the
    // question, "" when it answered with none (as behind a provider's shared address).
    std::optional<std::string> routerOutside;
    std::string publicAddress;               // the public address IP.EXE found
    std::string localAddress;                // this computer on the router's network
    std::string ipv6Id;                      // this computer's IPv6 ID; "" when it has no global IPv6 address
    std::optional<FirewallStatus> firewall;  // nothing when the router's IPv6 firewall did not answer
    bool pinholeOpen = false;                // port 3389 opened for IPv6 by this run
};

// Private and shared ranges (10/8, 172.16/12, 192.168/16, 100.64/10): an outside
// address in them means someone else's router stands in front.
bool IsPrivateOrShared(std::string_view address);

// Whether a provider (or a second router) stands in front of the home router, so
// that no port opened on it can be reached from the Internet over IPv4: its
// outside address is none, private or shared, or not the public address.
bool ProviderInFront(const Observations& seen);

// What the user can do instead of opening the router's IPv4 port: the IPv6 ID
// when this computer has one, else a VPN.
std::string InsteadOfIpv4(const Observations& seen);

// The mapping that port 3389 (TCP) on the router follows, if any.
const PortMapping* RemoteDesktopMapping(const std::vector<PortMapping>& mappings);

// A mapping Kestrum may remove: port 3389 (TCP) with our description, leading to
// this computer. Anything else on the router belongs to someone else.
bool IsOurs(const PortMapping& mapping, std::string_view localAddress);

std::vector<Finding> Findings(const Observations& seen);

}  // namespace kestrum::reach
