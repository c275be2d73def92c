#include "remote/remote_id.h"

#include <algorithm>

#include "net/codec.h"
#include "net/probes.h"

namespace kestrum::remote {

bool LooksLikeId(std::string_view trimmed) { return !trimmed.empty() && trimmed.find('-') != std::string_view::npos; }

bool HasFourParts(std::string_view id) { return std::count(id.begin(), id.end(), '-') == 3; }

RemoteIdCheck CheckRemoteID(const std::string& id, std::string_view decimalSeparator, const RemoteProbes& probes) {
    if (!HasFourParts(id)) return RemoteIdCheck::WrongId;
    const std::string address = net::IDToIP(id, decimalSeparator);
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
