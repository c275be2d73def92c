#include "reach/router_port_mapping.h"

#include <cstdlib>

#include "platform/identity.h"

namespace kestrum::reach {

namespace {

// The LAN address the mapping was opened to; empty when none is open.
constexpr const char* kSection = "ROUTER";
constexpr const char* kKey = "Mapping";
// The router's answer when it takes only mappings without an end.
constexpr int kOnlyPermanentLeases = 725;
constexpr int kNoSuchEntry = 714;

// Why the router refused the mapping, as the user can act on it.
DoorChange Refused(const upnp::Gateway& gateway, const upnp::Reply& reply) {
    if (reply.status == upnp::Reply::Status::NoAnswer) return {false, RefusedInItsWords(reply)};
    const upnp::Reply outside = GetExternalIPAddress(gateway);
    const std::string address = outside.value("NewExternalIPAddress");
    if (outside.done() && (address.empty() || IsPrivateOrShared(address)))
        return {false,
                "Your provider shares one public address among many homes, so a port opened on this router "
                "could not be reached from the Internet anyway.",
                true};
    switch (reply.faultCode) {
        case 718: return {false, "Another computer already has port 3389 on the router."};
        case 606:
            return {false,
                    "The router does not let programs open its ports. Allow that in its UPnP settings, "
                    "or open port 3389 there by hand."};
        default: break;
    }
    return {false, RefusedInItsWords(reply)};
}

}  // namespace

std::optional<std::optional<PortMapping>> RemoteDesktopMappingOn(const upnp::Gateway& gateway) {
    const upnp::Reply entry = GetSpecificPortMappingEntry(gateway, kRemoteDesktopPort, kTcp);
    if (!entry.done())
        return entry.faultCode == kNoSuchEntry ? std::optional(std::optional<PortMapping>()) : std::nullopt;
    return PortMapping{kRemoteDesktopPort,
                       std::string(kTcp),
                       std::atoi(entry.value("NewInternalPort").c_str()),
                       entry.value("NewInternalClient"),
                       entry.value("NewEnabled") == "1",
                       entry.value("NewPortMappingDescription")};
}

DoorChange RouterPortMapping::Open() {
    std::lock_guard lock(mutex_);
    const std::string local = services_.local.gatewayLinkIpv4();
    if (local.empty()) return {false, "This computer is not on a router's network."};
    auto gateway = upnp::Gateway::Find(services_.link, local, upnp::Family::Ipv4);
    if (!gateway) return {false, "No router answered over UPnP."};
    // Recorded first: a crash between the two steps leaves a record of nothing,
    // which the next start forgets, never a mapping nobody knows of.
    services_.settings.saveSetting(platform::kSettingsApplication, kSection, kKey, local);
    const std::string description(kMappingDescription);
    upnp::Reply reply = AddPortMapping(*gateway, kRemoteDesktopPort, kTcp, local, description, leaseSeconds_);
    if (reply.faultCode == kOnlyPermanentLeases)  // closed by us all the same, at the latest at the next start
        reply = AddPortMapping(*gateway, kRemoteDesktopPort, kTcp, local, description, 0);
    if (reply.done()) {
        gateway_ = std::move(gateway);
        return {true};
    }
    services_.settings.saveSetting(platform::kSettingsApplication, kSection, kKey, "");
    return Refused(*gateway, reply);
}

bool RouterPortMapping::Close() {
    std::lock_guard lock(mutex_);
    const bool closed = RemoveOurs(services_.local.gatewayLinkIpv4());
    if (closed) gateway_.reset();
    return closed;
}

bool RouterPortMapping::IsOpen() {
    std::lock_guard lock(mutex_);
    return gateway_.has_value();
}

bool RouterPortMapping::Renew() {
    std::lock_guard lock(mutex_);
    if (!gateway_) return false;
    // Adding the same mapping again only sets its lease anew.
    return AddPortMapping(*gateway_, kRemoteDesktopPort, kTcp, gateway_->source(), std::string(kMappingDescription),
                          leaseSeconds_)
        .done();
}

void RouterPortMapping::CloseLeftBehind() {
    std::lock_guard lock(mutex_);
    const auto recorded = services_.settings.getSetting(platform::kSettingsApplication, kSection, kKey);
    if (!recorded || recorded->empty() || gateway_) return;
    const std::string local = services_.local.gatewayLinkIpv4();
    if (local.empty()) return;  // not on the router's network now: try at a later start
    // Since then this computer may have a new address, and the old one another owner.
    if (local == *recorded) RemoveOurs(local);
    else services_.settings.saveSetting(platform::kSettingsApplication, kSection, kKey, "");
}

bool RouterPortMapping::RemoveOurs(const std::string& local) {
    if (local.empty()) return false;
    auto gateway = gateway_ && gateway_->source() == local
                       ? gateway_
                       : upnp::Gateway::Find(services_.link, local, upnp::Family::Ipv4);
    if (!gateway) return false;  // the router is gone for now: keep the record
    const auto mapping = RemoteDesktopMappingOn(*gateway);
    if (!mapping) return false;  // not known whether ours is there: keep the record
    if (*mapping && IsOurs(**mapping, local) && !DeletePortMapping(*gateway, kRemoteDesktopPort, kTcp).done())
        return false;
    services_.settings.saveSetting(platform::kSettingsApplication, kSection, kKey, "");
    return true;
}

}  // namespace kestrum::reach
