#pragma once
// The home router between this computer and the Internet, as the system's UPnP
// NAT service sees it: the router's port mappings, adding and removing one, and
// this computer's own address on the router's network.

#include <optional>
#include <string>
#include <vector>

namespace kestrum::platform {

struct PortMapping {
    int externalPort = 0;
    std::string protocol;  // "TCP" or "UDP"
    int internalPort = 0;
    std::string internalClient;  // the LAN address the router forwards to
    bool enabled = false;
    std::string description;
    // The router's outside address as the mapping reports it; "" when not told
    // (ignored by Router::add). The NAT service tells it only on a mapping: a
    // router without one has no outside address to show.
    std::string externalAddress;

    bool operator==(const PortMapping&) const = default;
};

class Router {
public:
    virtual ~Router() = default;
    // Each call looks for the router afresh and waits a bounded time for it.
    // Nothing when no router answered, or its list could not be read.
    virtual std::optional<std::vector<PortMapping>> mappings() = 0;
    // False when no router answered or the router refused.
    virtual bool add(const PortMapping& mapping) = 0;
    virtual bool remove(int externalPort, const std::string& protocol) = 0;
    // This computer's address on the link to the gateway of its default route
    // (usually the router); "" when there is none.
    virtual std::string localAddress() = 0;
};

}  // namespace kestrum::platform
