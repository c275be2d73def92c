#include "remote/launch_parameters.h"

#include "net/ipv6.h"

namespace kestrum::remote {

std::string RemoteDesktopParameters(const RemoteAddress& address, const std::string& appPath) {
    std::string settingsFile = appPath;
    if (settingsFile.empty() || settingsFile.back() != '\\') settingsFile += '\\';
    settingsFile += "Default.rdp";
    const std::string host = address.ipv6 ? RemoteDesktopHost(*address.ipv6) : address.ipv4;
    return "/v:" + host + " /admin /edit:\"" + settingsFile + "\"";
}

// Bracketed, as an IPv6 address stands wherever a port may follow it.
std::string RemoteDesktopHost(const platform::Ipv6Bytes& address) {
    std::string host = "[";  // built up in steps: GCC 12 warns falsely of overlap on "[" + text + "]"
    host += net::Ipv6Text(address);
    return host += ']';
}

std::string SharedFoldersPath(const RemoteAddress& address) {
    return "\\\\" + (address.ipv6 ? net::Ipv6ToID(*address.ipv6) + ".ipv6-literal.net" : address.ipv4);
}

}  // namespace kestrum::remote
