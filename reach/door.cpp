#include "reach/door.h"

#include "platform/identity.h"
#include "reach/findings.h"

namespace kestrum::reach {

namespace {

// The LAN address the door was opened to; empty when none is open.
constexpr const char* kSection = "ROUTER";
constexpr const char* kKey = "Mapping";

}  // namespace

bool Door::Open() {
    std::lock_guard lock(mutex_);
    const std::string local = router_.localAddress();
    if (local.empty()) return false;
    // Recorded first: a crash between the two steps leaves a record of nothing,
    // which the next start forgets, never a mapping nobody knows of.
    settings_.saveSetting(platform::kSettingsApplication, kSection, kKey, local);
    const platform::PortMapping mapping{
        kRemoteDesktopPort, "TCP", kRemoteDesktopPort, local, true, std::string(kMappingDescription), ""};
    open_ = router_.add(mapping);
    if (!open_) settings_.saveSetting(platform::kSettingsApplication, kSection, kKey, "");
    return open_;
}

bool Door::Close() {
    std::lock_guard lock(mutex_);
    const bool closed = RemoveOurs(router_.localAddress());
    if (closed) open_ = false;
    return closed;
}

bool Door::IsOpen() {
    std::lock_guard lock(mutex_);
    return open_;
}

void Door::CloseLeftBehind() {
    std::lock_guard lock(mutex_);
    const auto recorded = settings_.getSetting(platform::kSettingsApplication, kSection, kKey);
    if (!recorded || recorded->empty() || open_) return;
    const std::string local = router_.localAddress();
    if (local.empty()) return;  // not on the router's network now: try at a later start
    // Since then this computer may have a new address, and the old one another owner.
    if (local == *recorded) RemoveOurs(local);
    else settings_.saveSetting(platform::kSettingsApplication, kSection, kKey, "");
}

bool Door::RemoveOurs(const std::string& local) {
    const auto mappings = router_.mappings();
    if (!mappings) return false;  // the router is gone for now: keep the record
    const platform::PortMapping* door = RemoteDesktopDoor(*mappings);
    if (door && IsOurs(*door, local) && !router_.remove(kRemoteDesktopPort, "TCP")) return false;
    settings_.saveSetting(platform::kSettingsApplication, kSection, kKey, "");
    return true;
}

}  // namespace kestrum::reach
