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

// Reads one value as text into KeyVal. Missing, with KeyVal empty, when the key
// cannot be opened or the value cannot be read into 1024 bytes; Empty, with
// KeyVal untouched, for a value of no bytes (there is nothing to trim, so it is a
// failed read rather than an empty text). A text value loses one terminating
// zero; a number becomes its decimal text; a value of any other type leaves
// KeyVal as it was. The key is closed on every path.
platform::ValueRead GetKeyValue(platform::Registry& registry, platform::RegistryRoot KeyRoot,
                                const std::string& KeyName, const std::string& SubKeyRef, std::string& KeyVal);

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
