// Everything a router sends over UPnP is a stranger's text: a search answer, an
// HTTP response, a device description, a SOAP answer. Reading any of them never
// fails, and what comes out keeps its bounds.

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "upnp/description.h"
#include "upnp/soap.h"
#include "upnp/ssdp.h"

namespace {

using namespace kestrum::upnp;

void Check(bool holds) {
    if (!holds) std::abort();
}

bool Printable(std::string_view text) {
    return std::all_of(text.begin(), text.end(), [](char c) { return c >= ' ' && c < 0x7F; });
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);

    for (const Family family : {Family::Ipv4, Family::Ipv6}) {
        if (const auto url = LocationFromAnswer(text, family))
            Check(IsIpv6Host(url->host) == (family == Family::Ipv6) && IsRequestPath(url->path) &&
                  text.find(url->path) != std::string_view::npos);
    }

    const Url at{"192.168.77.1", 5555, "/root/desc.xml"};
    const std::string_view types[] = {"urn:schemas-upnp-org:service:WANIPConnection:2",
                                      "urn:schemas-upnp-org:service:WANPPPConnection:1"};
    if (const auto service = FindService(text, at, types))
        Check(service->host == at.host && IsRequestPath(service->controlPath) &&
              (service->type == types[0] || service->type == types[1]));

    Response whole{size % 2 ? 500 : 200, "", std::string(text)};
    if (const auto parsed = ParseResponse(text)) {
        Check(parsed->body.size() <= size && parsed->headers.size() <= size);
        whole = *parsed;
    }
    const Reply reply = ReadReply(whole, "AddPinhole");
    Check(reply.faultText.size() <= kMaxFaultText && Printable(reply.faultText));
    Check(reply.values.size() <= kMaxValues && (reply.done() || reply.values.empty()));
    for (const auto& [name, value] : reply.values)
        Check(!name.empty() && value.size() <= kMaxValue &&
              std::none_of(value.begin(), value.end(), [](char c) { return c >= 0 && c < ' '; }));
    return 0;
}
