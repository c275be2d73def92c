#pragma once
// What the Connection Check window tells the user: can the other side reach this
// computer's Remote Desktop through the router? One finding a line, each with its
// state and, for a problem, what to do about it.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/router.h"

namespace kestrum::reach {

inline constexpr int kRemoteDesktopPort = 3389;
// The description a mapping of ours carries on the router.
inline constexpr std::string_view kMappingDescription = "Kestrum";

enum class State { Good, Problem, Unknown };

struct Finding {
    std::string subject;
    State state = State::Unknown;
    std::string text;
};

// What the check learned. An empty optional or text: it could not be learned.
struct Observations {
    std::optional<bool> remoteDesktopOn;  // the system's own setting
    std::optional<bool> editionAccepts;   // false: this edition only connects out
    // Nothing when no router answered; else its mappings.
    std::optional<std::vector<platform::PortMapping>> mappings;
    std::string routerOutside;  // the router's outside address
    std::string publicAddress;  // the public address IP.EXE found
    std::string localAddress;   // this computer on the router's network
};

// Private and shared ranges (10/8, 172.16/12, 192.168/16, 100.64/10): an outside
// address in them means someone else's router stands in front.
bool IsPrivateOrShared(std::string_view address);

// The mapping that port 3389 (TCP) on the router follows, if any.
const platform::PortMapping* RemoteDesktopDoor(const std::vector<platform::PortMapping>& mappings);

// A mapping Kestrum may remove: port 3389 (TCP) with our description, leading to
// this computer. Anything else on the router belongs to someone else.
bool IsOurs(const platform::PortMapping& mapping, std::string_view localAddress);

// The outside address the router reports, from any of its mappings.
std::string OutsideAddress(const std::vector<platform::PortMapping>& mappings);

std::vector<Finding> Findings(const Observations& seen);

}  // namespace kestrum::reach
