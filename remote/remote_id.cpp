#include "remote/remote_id.h"

#include <algorithm>

#include "net/codec.h"
#include "net/ipv6.h"
#include "net/probes.h"
#include "platform/text_helpers.h"

namespace kestrum::remote {

bool LooksLikeId(std::string_view trimmed) { return !trimmed.empty() && trimmed.find('-') != std::string_view::npos; }

bool HasFourParts(std::string_view id) { return std::count(id.begin(), id.end(), '-') == 3; }

RemoteAddress DecodeRemoteID(std::string_view id, std::string_view decimalSeparator) {
    const std::string_view trimmed = platform::Trimmed(id, " ");
    if (const std::optional<platform::Ipv6Bytes> ipv6 = net::IDToIpv6(trimmed)) return {ipv6, {}};
    return {std::nullopt, net::IDToIP(id, decimalSeparator)};
}

std::string AddressText(const RemoteAddress& address) {
    return address.ipv6 ? net::Ipv6Text(*address.ipv6) : address.ipv4;
}

RemoteIdCheck CheckRemoteID(const std::string& id, std::string_view decimalSeparator, const RemoteProbes& probes) {
    const RemoteAddress decoded = DecodeRemoteID(id, decimalSeparator);
    if (decoded.ipv6)
        return probes.ports.connects6(*decoded.ipv6, probes.servicePort, kPortTimeoutMs) ? RemoteIdCheck::Available
                                                                                         : RemoteIdCheck::NotAvailable;
    if (!HasFourParts(id)) return RemoteIdCheck::WrongId;
    const std::string& address = decoded.ipv4;
    if (net::IsReachable(probes.hops, address)) return RemoteIdCheck::Available;
    const std::uint32_t parsed = probes.hops.inetAddr(address);
    if (parsed != 0xFFFFFFFF && probes.ports.connects(parsed, probes.servicePort, kPortTimeoutMs))
        return RemoteIdCheck::Available;
    return RemoteIdCheck::NotAvailable;
}

std::string RemoteIdCheckText(RemoteIdCheck result, const std::string& id) {
    switch (result) {
        case RemoteIdCheck::WrongId: return "Wrong ID";
        case RemoteIdCheck::NotAvailable: return "This Remote ID [" + id + "] is not available on Internet";
        case RemoteIdCheck::Available: break;
    }
    return {};
}

}  // namespace kestrum::remote
