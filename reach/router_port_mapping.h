#pragma once
// Port 3389 (TCP) on the home router mapped to this computer over IPv4: opened
// while the user wants it, through the router's UPnP port mappings.

#include <mutex>
#include <optional>
#include <string>

#include "reach/door.h"
#include "reach/findings.h"
#include "upnp/gateway.h"

namespace kestrum::reach {

// The mapping on the router's port 3389 (TCP): an empty inner optional when there is
// none; nothing when the router did not tell.
std::optional<std::optional<PortMapping>> RemoteDesktopMappingOn(const upnp::Gateway& gateway);

// Port 3389 on the router, mapped to this computer's address on the router's network.
class RouterPortMapping {
public:
    explicit RouterPortMapping(const RouterServices& services, unsigned leaseSeconds = kLeaseSeconds)
        : services_(services), leaseSeconds_(leaseSeconds) {}

    DoorChange Open();
    // Removes the mapping if it is ours; true when no mapping of ours is left.
    bool Close();
    // Whether this run opened the mapping and has not closed it.
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

}  // namespace kestrum::reach
