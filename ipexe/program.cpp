#include "ipexe/program.h"

#include "platform/identity.h"

namespace kestrum::ipexe {

Outcome RunIpExe(const std::vector<std::string>& args, const Network& network, platform::SettingsStore& settings) {
    const Options options = ParseOptions(args);
    if (!options.error.empty())
        return {kBadCommandLine, options.quiet ? "" : options.error + "\n\n" + UsageText(), true};
    if (options.help) return {kStored, options.quiet ? "" : UsageText(), false};

    const auto address = Discover(options, network);
    // No answer leaves an earlier value in place: Kestrum reads it all the same.
    if (!address) return {kNoAnswer, "", false};
    using namespace platform;
    if (!settings.saveSetting(kSettingsApplication, kPublicAddressSection, kPublicAddressKey, *address))
        return {kStoreRefused, "", false};
    return {kStored, "", false};
}

}  // namespace kestrum::ipexe
