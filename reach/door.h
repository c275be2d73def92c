#pragma once
// The one port Kestrum opens on a router: 3389 (TCP) to this computer, for
// Remote Desktop. It is remembered in the settings store while open, so that a
// start after a crash can close what the crashed run left open. Port 445 is never
// opened: file sharing stays on the LAN and VPN.

#include <mutex>
#include <string>

#include "platform/router.h"
#include "platform/settings.h"

namespace kestrum::reach {

class Door {
public:
    Door(platform::Router& router, platform::SettingsStore& settings) : router_(router), settings_(settings) {}

    // Adds the mapping to this computer's address on the router's network.
    bool Open();
    // Removes the mapping if it is ours; true when no mapping of ours is left.
    bool Close();
    // Whether this run opened the door and has not closed it.
    bool IsOpen();
    // A mapping recorded by an earlier run that did not end cleanly is removed,
    // as long as it still carries our description and leads to this computer.
    void CloseLeftBehind();

private:
    bool RemoveOurs(const std::string& recordedAddress);

    // One caller at a time: the window's check and the start's clean-up may overlap.
    std::mutex mutex_;
    platform::Router& router_;
    platform::SettingsStore& settings_;
    bool open_ = false;
};

}  // namespace kestrum::reach
