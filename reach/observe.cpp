#include "reach/observe.h"

#include <future>

#include "net/ipv4.h"
#include "net/ipv6.h"
#include "platform/identity.h"
#include "platform/registry_reader.h"
#include "reach/router_port_mapping.h"
#include "upnp/gateway.h"

namespace kestrum::reach {

namespace {

std::optional<std::string> ReadMachineValue(platform::Registry& registry, const std::string& key,
                                            const std::string& value) {
    std::string text;
    if (platform::GetKeyValue(registry, platform::RegistryRoot::LocalMachine, key, value, text) !=
        platform::ValueRead::Read)
        return std::nullopt;
    return text;
}

// The router's port 3389 and outside address, asked from this computer's address on its network.
void ObserveIpv4(platform::RouterLink& link, Observations& seen) {
    if (seen.localAddress.empty()) return;
    const auto gateway = upnp::Gateway::Find(link, seen.localAddress, upnp::Family::Ipv4);
    if (!gateway) return;
    seen.mappings.emplace();
    // The router's text is shown only when it is an address.
    if (const upnp::Reply outside = GetExternalIPAddress(*gateway); outside.done()) {
        const std::string address = outside.value("NewExternalIPAddress");
        if (address.empty() || net::ParseIpv4(address)) seen.routerOutside = address;
    }
    const auto mapping = RemoteDesktopMappingOn(*gateway);
    if (mapping && *mapping && net::ParseIpv4((*mapping)->internalClient)) seen.mappings->push_back(**mapping);
}

// This computer's IPv6 ID and what the router's IPv6 firewall says, asked from that address.
void ObserveIpv6(const ObserveServices& services, Observations& seen) {
    const auto chosen = net::ChooseIpv6(services.local.ipv6());
    seen.pinholeOpen = services.pinhole.IsOpen();
    if (!chosen) return;
    seen.ipv6Id = net::Ipv6ToID(*chosen);
    const auto gateway = upnp::Gateway::Find(services.link, net::Ipv6Text(*chosen), upnp::Family::Ipv6);
    if (!gateway) return;
    if (const upnp::Reply status = GetFirewallStatus(*gateway); status.done())
        seen.firewall =
            FirewallStatus{status.value("FirewallEnabled") != "0", status.value("InboundPinholeAllowed") == "1"};
}

}  // namespace

Observations Observe(const ObserveServices& services) {
    Observations seen, seen6;
    auto ipv6 = std::async(std::launch::async, [&services, &seen6] { ObserveIpv6(services, seen6); });
    if (const auto deny = ReadMachineValue(services.registry, "SYSTEM\\CurrentControlSet\\Control\\Terminal Server",
                                           "fDenyTSConnections"))
        seen.remoteDesktopOn = *deny == "0";
    // Home editions ("Core...") can start Remote Desktop connections but not accept them.
    if (const auto edition =
            ReadMachineValue(services.registry, "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion", "EditionID"))
        seen.editionAccepts = edition->rfind("Core", 0) != 0;
    seen.publicAddress =
        services.settings
            .getSetting(platform::kSettingsApplication, platform::kPublicAddressSection, platform::kPublicAddressKey)
            .value_or("");
    seen.localAddress = services.local.gatewayLinkIpv4();
    ObserveIpv4(services.link, seen);
    ipv6.wait();
    seen.ipv6Id = seen6.ipv6Id;
    seen.firewall = seen6.firewall;
    seen.pinholeOpen = seen6.pinholeOpen;
    return seen;
}

}  // namespace kestrum::reach
