#include "remote/launch_parameters.h"

namespace kestrum::remote {

std::string RemoteDesktopParameters(const std::string& address, const std::string& appPath) {
    std::string settingsFile = appPath;
    if (settingsFile.empty() || settingsFile.back() != '\\') settingsFile += '\\';
    settingsFile += "Default.rdp";
    return "/v:" + address + " /admin /edit:\"" + settingsFile + "\"";
}

std::string SharedFoldersPath(const std::string& address) { return "\\\\" + address; }

}  // namespace kestrum::remote
