#pragma once
// What the Connection Check learns from the system, the router and this
// computer's addresses, each part within its own bounded wait.

#include "platform/local_addresses.h"
#include "platform/registry.h"
#include "platform/router_link.h"
#include "platform/settings.h"
#include "reach/findings.h"
#include "reach/pinhole.h"

namespace kestrum::reach {

struct ObserveServices {
    platform::Registry& registry;
    platform::SettingsStore& settings;
    platform::RouterLink& link;
    platform::LocalAddresses& local;
    Pinhole& pinhole;
};

// The IPv4 and IPv6 parts are asked at the same time: each may wait for a router
// that never answers.
Observations Observe(const ObserveServices& services);

}  // namespace kestrum::reach
