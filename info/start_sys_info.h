#pragma once
// Finding and starting the platform's System Information program through the
// local machine's registry.

#include <string>

#include "platform/files.h"
#include "platform/registry.h"
#include "platform/system.h"
#include "platform/ui.h"

namespace kestrum::info {

inline constexpr const char* kSysInfoUnavailable = "System Information Is Unavailable At This Time";

struct SysInfoServices {
    platform::Registry& registry;
    platform::Files& files;
    platform::System& system;
    platform::Ui& ui;
};

// Starts System Information from the first registry place that names it, or
// tells the user it is unavailable.
void StartSysInfo(const SysInfoServices& services);

}  // namespace kestrum::info
