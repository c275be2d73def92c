#pragma once
// The doors Kestrum opens on the home router while the user wants them: port 3389
// (TCP) mapped to this computer over IPv4, and a pinhole for port 3389 in the
// router's IPv6 firewall. Each is recorded in the settings store before the router
// is asked, so that a start after a crash can close what the crashed run left
// open; each has a finite lease, renewed while Kestrum runs. Port 445 is never
// opened: file sharing stays on the LAN and VPN.

#include <mutex>
#include <optional>
#include <string>

#include "platform/local_addresses.h"
#include "platform/router_link.h"
#include "platform/settings.h"
#include "reach/findings.h"
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

// The mapping on the router's port 3389 (TCP): an empty inner optional when there is
// none; nothing when the router did not tell.
std::optional<std::optional<PortMapping>> RemoteDesktopMappingOn(const upnp::Gateway& gateway);

// The router's own words for a refusal that no plainer words fit, or that it did not answer.
std::string RefusedInItsWords(const upnp::Reply& reply);

struct RouterServices {
    platform::RouterLink& link;
    platform::LocalAddresses& local;
    platform::SettingsStore& settings;
};

// Port 3389 on the router, mapped to this computer's address on the router's network.
class Door {
public:
    explicit Door(const RouterServices& services, unsigned leaseSeconds = kLeaseSeconds)
        : services_(services), leaseSeconds_(leaseSeconds) {}

    DoorChange Open();
    // Removes the mapping if it is ours; true when no mapping of ours is left.
    bool Close();
    // Whether this run opened the door and has not closed it.
    bool IsOpen();
    // The lease again, while open; false when the router did not renew it.
    bool Renew();
    // A mapping recorded by an earlier run that did not end cleanly is removed, as
    // long as it still carries our description and leads to this computer.
    void CloseLeftBehind();

private:
    bool RemoveOurs(const std::string& localAddress);

    // One caller at a time: the window, the lease's renewal and the start's clean-up may overlap.
    std::mutex mutex_;
    RouterServices services_;
    unsigned leaseSeconds_;
    std::optional<upnp::Gateway> gateway_;  // the router that holds our mapping
};

// Port 3389 (TCP) open in the router's IPv6 firewall to this computer's IPv6 ID.
class Pinhole {
public:
    explicit Pinhole(const RouterServices& services, unsigned leaseSeconds = kLeaseSeconds)
        : services_(services), leaseSeconds_(leaseSeconds) {}

    DoorChange Open();
    // Deletes our pinhole; true when none of ours is left.
    bool Close();
    bool IsOpen();
    bool Renew();
    // A pinhole recorded by an earlier run that did not end cleanly is deleted.
    void CloseLeftBehind();

private:
    // The router grants a pinhole only to a request from the very address it opens
    // to: the gateway is always asked from that address.
    bool Delete(const upnp::Gateway& gateway, const std::string& uniqueId);

    std::mutex mutex_;
    RouterServices services_;
    unsigned leaseSeconds_;
    std::optional<upnp::Gateway> gateway_;  // asked from the pinhole's address
    std::string uniqueId_;                  // the router's name for our pinhole; "" when none is open
};

}  // namespace kestrum::reach
