#include "reach/pinhole.h"

#include <sstream>

#include "net/ipv6.h"
#include "platform/identity.h"
#include "reach/findings.h"

namespace kestrum::reach {

namespace {

// The address the pinhole leads to, then a blank and the router's ID for it once
// the router has granted it; empty when none is open.
constexpr const char* kSection = "ROUTER";
constexpr const char* kKey = "Pinhole";
constexpr int kNoSuchPinhole = 704;

DoorChange Refused(const upnp::Reply& reply) {
    switch (reply.status == upnp::Reply::Status::Fault ? reply.faultCode : 0) {
        case 606: return {false, "The router did not allow this computer to open a port (error 606)."};
        case 701: return {false, "The router's IPv6 firewall has no room for another open port."};
        case 702: return {false, "The router's IPv6 firewall is off: there is no port to open."};
        case 703:
            return {false,
                    "The router's IPv6 firewall does not let programs open a port. Allow that in the "
                    "router's settings, or allow port 3389 to this computer there by hand."};
        default: break;
    }
    return {false, RefusedInItsWords(reply)};
}

}  // namespace

DoorChange Pinhole::Open() {
    std::lock_guard lock(mutex_);
    const auto chosen = net::ChooseIpv6(services_.local.ipv6());
    if (!chosen) return {false, "This computer has no global IPv6 address."};
    const std::string address = net::Ipv6Text(*chosen);
    auto gateway = upnp::Gateway::Find(services_.link, address, upnp::Family::Ipv6);
    if (!gateway) return {false, "The router's IPv6 firewall did not answer over UPnP."};
    // Recorded before the router is asked; its ID follows once it is known.
    services_.settings.saveSetting(platform::kSettingsApplication, kSection, kKey, address);
    const upnp::Reply reply = AddPinhole(*gateway, address, kRemoteDesktopPort, leaseSeconds_);
    const std::string id = reply.value("UniqueID");
    if (reply.done() && !id.empty() && id.find(' ') == std::string::npos) {
        services_.settings.saveSetting(platform::kSettingsApplication, kSection, kKey, address + " " + id);
        gateway_ = std::move(gateway);
        uniqueId_ = id;
        return {true};
    }
    services_.settings.saveSetting(platform::kSettingsApplication, kSection, kKey, "");
    return Refused(reply);
}

bool Pinhole::Close() {
    std::lock_guard lock(mutex_);
    if (!gateway_) return true;
    if (!Delete(*gateway_, uniqueId_)) return false;
    gateway_.reset();
    uniqueId_.clear();
    return true;
}

bool Pinhole::IsOpen() {
    std::lock_guard lock(mutex_);
    return gateway_.has_value();
}

bool Pinhole::Renew() {
    std::lock_guard lock(mutex_);
    return gateway_ && UpdatePinhole(*gateway_, uniqueId_, leaseSeconds_).done();
}

void Pinhole::CloseLeftBehind() {
    std::lock_guard lock(mutex_);
    const auto recorded = services_.settings.getSetting(platform::kSettingsApplication, kSection, kKey);
    if (!recorded || recorded->empty() || gateway_) return;
    std::istringstream fields(*recorded);
    std::string address, id;
    fields >> address >> id;
    const auto parsed = net::ParseIpv6(address);
    bool stillOurs = false;
    for (const platform::LocalIpv6& own : services_.local.ipv6()) stillOurs |= parsed && own.address == *parsed;
    // Without its ID, or from an address this computer no longer has, the router
    // cannot be asked: the pinhole's lease ends it within the hour.
    if (!id.empty() && stillOurs) {
        const auto gateway = upnp::Gateway::Find(services_.link, address, upnp::Family::Ipv6);
        if (!gateway || !Delete(*gateway, id)) return;  // the router is gone for now: keep the record
    }
    services_.settings.saveSetting(platform::kSettingsApplication, kSection, kKey, "");
}

bool Pinhole::Delete(const upnp::Gateway& gateway, const std::string& uniqueId) {
    const upnp::Reply reply = DeletePinhole(gateway, uniqueId);
    if (!reply.done() && reply.faultCode != kNoSuchPinhole) return false;
    services_.settings.saveSetting(platform::kSettingsApplication, kSection, kKey, "");
    return true;
}

}  // namespace kestrum::reach
