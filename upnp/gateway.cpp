#include "upnp/gateway.h"

#include <algorithm>
#include <array>

#include "upnp/description.h"
#include "upnp/http_message.h"
#include "upnp/soap.h"
#include "upnp/ssdp.h"

namespace kestrum::upnp {

namespace {

constexpr std::array<std::string_view, 3> kIpv4Services = {
    "urn:schemas-upnp-org:service:WANIPConnection:2",
    "urn:schemas-upnp-org:service:WANIPConnection:1",
    "urn:schemas-upnp-org:service:WANPPPConnection:1",
};
constexpr std::array<std::string_view, 1> kIpv6Services = {
    "urn:schemas-upnp-org:service:WANIPv6FirewallControl:1",
};

// One HTTP exchange, its answer read when it is whole and within `maxBytes`.
std::optional<Response> Exchange(platform::RouterLink& link, const std::string& source, const Url& url,
                                 const std::string& request, std::size_t maxBytes) {
    // One byte more than the bound tells an answer that fits from one that was cut off.
    const auto raw = link.exchange(source, url.host, url.port, request, maxBytes + 1, kExchangeWait);
    if (!raw || raw->size() > maxBytes) return std::nullopt;
    return ParseResponse(*raw);
}

}  // namespace

std::string Reply::value(std::string_view name) const {
    for (const auto& [key, text] : values)
        if (key == name) return text;
    return {};
}

std::optional<Gateway> Gateway::Find(platform::RouterLink& link, const std::string& source, Family family) {
    const auto answer = link.search(source, SearchMessage(family), kMaxSearchAnswer + 1, kSearchWait);
    const auto location = answer ? LocationFromAnswer(*answer, family) : std::nullopt;
    if (!location) return std::nullopt;
    const auto description = Exchange(link, source, *location, GetRequest(*location), kMaxDescription);
    if (!description || description->status != 200) return std::nullopt;
    const std::span<const std::string_view> types =
        family == Family::Ipv6 ? std::span<const std::string_view>(kIpv6Services) : kIpv4Services;
    auto found = FindService(description->body, *location, types);
    if (!found) return std::nullopt;
    return Gateway(link, source, std::move(*found));
}

Reply Gateway::Call(std::string_view action, const Arguments& arguments) const {
    // A service read from a description passes; one made elsewhere may not end up in the headers as it is.
    const auto headerSafe = [](std::string_view text) {
        return !text.empty() &&
               std::all_of(text.begin(), text.end(), [](char c) { return c > ' ' && c < 0x7F && c != '"'; });
    };
    if (!IsRequestPath(service_.controlPath) || !headerSafe(service_.type) || !headerSafe(action)) return {};
    const Url url{service_.host, service_.port, service_.controlPath};
    const std::string soapAction = service_.type + "#" + std::string(action);
    const std::string request = SoapRequest(url, soapAction, Envelope(service_.type, action, arguments));
    const auto response = Exchange(*link_, source_, url, request, kMaxSoapAnswer);
    if (!response) return {};
    return ReadReply(*response, action);
}

Reply GetExternalIPAddress(const Gateway& gateway) { return gateway.Call("GetExternalIPAddress", {}); }

Reply GetSpecificPortMappingEntry(const Gateway& gateway, int externalPort, std::string_view protocol) {
    return gateway.Call("GetSpecificPortMappingEntry", {{"NewRemoteHost", ""},
                                                        {"NewExternalPort", std::to_string(externalPort)},
                                                        {"NewProtocol", std::string(protocol)}});
}

Reply AddPortMapping(const Gateway& gateway, int port, std::string_view protocol, const std::string& internalClient,
                     const std::string& description, unsigned leaseSeconds) {
    return gateway.Call("AddPortMapping", {{"NewRemoteHost", ""},
                                           {"NewExternalPort", std::to_string(port)},
                                           {"NewProtocol", std::string(protocol)},
                                           {"NewInternalPort", std::to_string(port)},
                                           {"NewInternalClient", internalClient},
                                           {"NewEnabled", "1"},
                                           {"NewPortMappingDescription", description},
                                           {"NewLeaseDuration", std::to_string(leaseSeconds)}});
}

Reply DeletePortMapping(const Gateway& gateway, int externalPort, std::string_view protocol) {
    return gateway.Call("DeletePortMapping", {{"NewRemoteHost", ""},
                                              {"NewExternalPort", std::to_string(externalPort)},
                                              {"NewProtocol", std::string(protocol)}});
}

Reply GetFirewallStatus(const Gateway& gateway) { return gateway.Call("GetFirewallStatus", {}); }

Reply AddPinhole(const Gateway& gateway, const std::string& internalClient, int internalPort, unsigned leaseSeconds) {
    return gateway.Call("AddPinhole", {{"RemoteHost", ""},
                                       {"RemotePort", "0"},
                                       {"InternalClient", internalClient},
                                       {"InternalPort", std::to_string(internalPort)},
                                       {"Protocol", "6"},
                                       {"LeaseTime", std::to_string(leaseSeconds)}});
}

Reply UpdatePinhole(const Gateway& gateway, const std::string& uniqueId, unsigned leaseSeconds) {
    return gateway.Call("UpdatePinhole", {{"UniqueID", uniqueId}, {"NewLeaseTime", std::to_string(leaseSeconds)}});
}

Reply DeletePinhole(const Gateway& gateway, const std::string& uniqueId) {
    return gateway.Call("DeletePinhole", {{"UniqueID", uniqueId}});
}

}  // namespace kestrum::upnp
