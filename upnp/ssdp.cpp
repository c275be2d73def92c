#include "upnp/ssdp.h"

namespace kestrum::upnp {

std::string SearchMessage(Family family) {
    const bool v6 = family == Family::Ipv6;
    // MX 1: routers answer within a second, well inside the search's wait.
    return std::string("M-SEARCH * HTTP/1.1\r\nHOST: ") + (v6 ? "[FF02::C]:1900" : "239.255.255.250:1900") +
           "\r\nMAN: \"ssdp:discover\"\r\nMX: 1\r\nST: " +
           (v6 ? "urn:schemas-upnp-org:service:WANIPv6FirewallControl:1"
               : "urn:schemas-upnp-org:device:InternetGatewayDevice:1") +
           "\r\n\r\n";
}

std::optional<Url> LocationFromAnswer(std::string_view answer, Family family) {
    if (answer.size() > kMaxSearchAnswer) return std::nullopt;
    const auto response = ParseResponse(answer);
    if (!response || response->status != 200) return std::nullopt;
    const auto location = HeaderValue(response->headers, "LOCATION");
    if (!location) return std::nullopt;
    auto url = ParseUrl(*location);
    if (!url || IsIpv6Host(url->host) != (family == Family::Ipv6)) return std::nullopt;
    return url;
}

}  // namespace kestrum::upnp
