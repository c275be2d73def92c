#pragma once
// The doors Kestrum opens on the home router while the user wants them: port 3389
// (TCP) mapped to this computer over IPv4, and a pinhole for port 3389 in the
// router's IPv6 firewall. Each is recorded in the settings store before the router
// is asked, so that a start after a crash can close what the crashed run left
// open; each has a finite lease, renewed while Kestrum runs. Port 445 is never
// opened: file sharing stays on the LAN and VPN.

#include <string>

#include "platform/local_addresses.h"
#include "platform/router_link.h"
#include "platform/settings.h"
#include "upnp/gateway.h"

namespace kestrum::reach {

// An hour: a door left by a run that ended without closing it, and that no later
// start closes, shuts by itself.
inline constexpr unsigned kLeaseSeconds = 3600;

// What opening or closing a door came to; when the router would not, why, in plain words.
struct DoorChange {
    bool done = false;
    std::string why;
    bool providerInFront = false;  // refused because the router's outside address is shared
};

// The router's own words for a refusal that no plainer words fit, or that it did not answer.
std::string RefusedInItsWords(const upnp::Reply& reply);

struct RouterServices {
    platform::RouterLink& link;
    platform::LocalAddresses& local;
    platform::SettingsStore& settings;
};

}  // namespace kestrum::reach
