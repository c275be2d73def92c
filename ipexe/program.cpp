#include "ipexe/program.h"

namespace kestrum::ipexe {

Outcome RunIpExe(const std::vector<std::string>& args, const Network& network, platform::SettingsStore& settings) {
    const Options options = ParseOptions(args);
    if (!options.error.empty())
        return {kBadCommandLine, options.quiet ? "" : options.error + "\n\n" + UsageText(), true};
    if (options.help) return {kStored, options.quiet ? "" : UsageText(), false};

    const auto address = Discover(options, network);
    // No answer leaves an earlier value in place: Kestrum reads it all the same.
    if (!address) return {kNoAnswer, "", false};
    if (!settings.saveSetting("KESTRUM", "PROPERTIES", "IP", *address)) return {kStoreRefused, "", false};
    return {kStored, "", false};
}

}  // namespace kestrum::ipexe
