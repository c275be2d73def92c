#pragma once
// IP.EXE from command line to exit code, with the network and the settings store
// handed in.

#include <string>
#include <vector>

#include "ipexe/discovery.h"
#include "ipexe/options.h"
#include "platform/settings.h"

namespace kestrum::ipexe {

struct Outcome {
    int exitCode = kNoAnswer;
    std::string message;  // for the user when not empty: the usage text, maybe with an error
    bool messageIsError = false;
};

Outcome RunIpExe(const std::vector<std::string>& args, const Network& network, platform::SettingsStore& settings);

}  // namespace kestrum::ipexe
