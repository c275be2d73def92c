// Everything a router sends over UPnP is a stranger's text: a search answer, an
// HTTP response, a device description, a SOAP answer. Reading any of them never
// fails, and what comes out keeps its bounds and the router's host.

#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "upnp/description.h"
#include "upnp/soap.h"
#include "upnp/ssdp.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace kestrum::upnp;
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    for (const Family family : {Family::Ipv4, Family::Ipv6})
        if (const auto url = LocationFromAnswer(text, family))
            if (IsIpv6Host(url->host) != (family == Family::Ipv6) || !IsRequestPath(url->path)) std::abort();

    const Url at{"192.168.77.1", 5555, "/root/desc.xml"};
    const std::string_view types[] = {"urn:schemas-upnp-org:service:WANIPConnection:2"};
    if (const auto service = FindService(text, at, types))
        if (service->host != at.host || !IsRequestPath(service->controlPath)) std::abort();

    Response whole{size % 2 ? 500 : 200, "", std::string(text)};
    if (const auto parsed = ParseResponse(text)) whole = *parsed;
    const Reply reply = ReadReply(whole, "AddPinhole");
    if (reply.faultText.size() > kMaxFaultText || reply.values.size() > kMaxValues) std::abort();
    for (const auto& [name, value] : reply.values)
        if (name.empty() || value.size() > kMaxValue) std::abort();
    return 0;
}
