#pragma once
// Port 3389 (TCP) open in the home router's IPv6 firewall to this computer, while
// the user wants it.

#include <mutex>
#include <optional>
#include <string>

#include "reach/door.h"
#include "upnp/gateway.h"

namespace kestrum::reach {

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
