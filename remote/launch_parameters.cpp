#include "remote/launch_parameters.h"

#include "net/ipv6.h"
#include "platform/text_helpers.h"

namespace kestrum::remote {

std::string RemoteDesktopParameters(const RemoteAddress& address, const std::string& appPath) {
    const std::string settingsFile = platform::JoinPath(appPath, "Default.rdp");
    const std::string host = address.ipv6 ? RemoteDesktopHost(*address.ipv6) : address.ipv4;
    return "/v:" + host + " /admin /edit:\"" + settingsFile + "\"";
}

std::string RemoteDesktopHost(const platform::Ipv6Bytes& address) {
    const std::string text = net::Ipv6Text(address);  // "[" + a temporary: a false -Wrestrict in GCC 12
    return "[" + text + "]";
}

std::string SharedFoldersPath(const RemoteAddress& address) {
    std::string path = "\\\\";
    if (!address.ipv6) return path + address.ipv4;
    path += net::Ipv6ToID(*address.ipv6);
    path += ".ipv6-literal.net";
    return path;
}

}  // namespace kestrum::remote
