#pragma once
// The home router's UPnP Internet Gateway Device, spoken to directly: found with an
// SSDP search from one of this computer's addresses, its control URL read from its
// device description, and its actions called with SOAP over HTTP from that same
// address. Everything the router sends is bounded in size and time and is read as
// hostile text.

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/router_link.h"

namespace kestrum::upnp {

enum class Family { Ipv4, Ipv6 };

// The service an action goes to: where it is and which kind it is.
struct Service {
    std::string host;  // an address text, IPv4 or IPv6, without brackets
    std::uint16_t port = 0;
    std::string controlPath;  // "/ctl/IPConn"
    std::string type;         // "urn:schemas-upnp-org:service:WANIPConnection:2"
    bool operator==(const Service&) const = default;
};

using Arguments = std::vector<std::pair<std::string, std::string>>;

// What a call to the router came to.
struct Reply {
    enum class Status { Done, Fault, NoAnswer };
    Status status = Status::NoAnswer;
    int faultCode = 0;      // the UPnP error code of a fault (606, 718, ...); 0 when none was given
    std::string faultText;  // its description as the router wrote it: printable ASCII only, at most 100 characters
    Arguments values;       // the answer's out arguments, in order
    bool done() const { return status == Status::Done; }
    // The out argument of that name; "" when the answer has none.
    std::string value(std::string_view name) const;
};

// The bounds every exchange with the router keeps.
inline constexpr std::chrono::milliseconds kSearchWait{2000};
inline constexpr std::chrono::milliseconds kExchangeWait{3000};

class Gateway {
public:
    // The router's service for the family, searched from `source` (this computer's
    // address on the router's network, of that family): WANIPConnection:2 or :1 or
    // WANPPPConnection:1 for IPv4, WANIPv6FirewallControl:1 for IPv6. Nothing when
    // no router answered the search, or its description names no such service.
    static std::optional<Gateway> Find(platform::RouterLink& link, const std::string& source, Family family);

    Gateway(platform::RouterLink& link, std::string source, Service service)
        : link_(&link), source_(std::move(source)), service_(std::move(service)) {}

    const Service& service() const { return service_; }
    const std::string& source() const { return source_; }

    // One SOAP action on the service, with its in arguments in order.
    Reply Call(std::string_view action, const Arguments& arguments) const;

private:
    platform::RouterLink* link_;
    std::string source_;
    Service service_;
};

// The actions Kestrum uses, on a gateway of the right family.
// IPv4 (WANIPConnection): out NewExternalIPAddress.
Reply GetExternalIPAddress(const Gateway& gateway);
// Out NewInternalPort, NewInternalClient, NewEnabled, NewPortMappingDescription,
// NewLeaseDuration; fault 714 when there is no such mapping.
Reply GetSpecificPortMappingEntry(const Gateway& gateway, int externalPort, std::string_view protocol);
// NewRemoteHost empty, the same external and internal port, enabled.
Reply AddPortMapping(const Gateway& gateway, int port, std::string_view protocol, const std::string& internalClient,
                     const std::string& description, unsigned leaseSeconds);
Reply DeletePortMapping(const Gateway& gateway, int externalPort, std::string_view protocol);
// IPv6 (WANIPv6FirewallControl): out FirewallEnabled, InboundPinholeAllowed ("1"/"0").
Reply GetFirewallStatus(const Gateway& gateway);
// RemoteHost empty, RemotePort 0, Protocol 6 for TCP; out UniqueID.
Reply AddPinhole(const Gateway& gateway, const std::string& internalClient, int internalPort, unsigned leaseSeconds);
Reply UpdatePinhole(const Gateway& gateway, const std::string& uniqueId, unsigned leaseSeconds);
Reply DeletePinhole(const Gateway& gateway, const std::string& uniqueId);

}  // namespace kestrum::upnp
