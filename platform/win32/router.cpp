#include <winsock2.h>
// winsock2.h before the rest, which would otherwise pull in the old winsock.h.
#include "platform/win32/router.h"

#include <iphlpapi.h>
#include <ws2tcpip.h>

#include <vector>

#include "platform/win32/com_owner.h"
#include "platform/win32/nat_upnp_interfaces.h"
#include "platform/win32/socket_owner.h"
#include "platform/win32/text.h"

namespace kestrum::win32 {
namespace {

using natupnp::IStaticPortMapping;
using natupnp::IStaticPortMappingCollection;
using natupnp::IUPnPNAT;

// The callers are worker threads, which pump no messages: in the multithreaded
// apartment COM hosts an object that wants a single-threaded one on a thread of its
// own that does, and the search for the router never waits on ours.
constexpr DWORD kApartment = COINIT_MULTITHREADED;

// The router's mappings as the NAT service holds them. Getting the collection
// searches the LAN for the router and waits for it; null when none answered.
ComPtr<IStaticPortMappingCollection> Collection() {
    ComPtr<IUPnPNAT> nat;
    ComPtr<IStaticPortMappingCollection> collection;
    if (SUCCEEDED(::CoCreateInstance(natupnp::kClsidUpnpNat, nullptr, CLSCTX_INPROC_SERVER, natupnp::kIidUpnpNat,
                                     nat.putVoid())))
        nat->get_StaticPortMappingCollection(collection.put());
    return collection;
}

bool Read(IStaticPortMapping& from, platform::PortMapping& to) {
    LONG external = 0, internal = 0;
    VARIANT_BOOL enabled = VARIANT_FALSE;
    Bstr protocol, client, description, outside;
    if (FAILED(from.get_ExternalPort(&external)) || FAILED(from.get_Protocol(protocol.put())) ||
        FAILED(from.get_InternalPort(&internal)) || FAILED(from.get_InternalClient(client.put())) ||
        FAILED(from.get_Enabled(&enabled)) || FAILED(from.get_Description(description.put())))
        return false;
    // Not every implementation tells it (Wine's leaves it empty): "" then.
    from.get_ExternalIPAddress(outside.put());
    to = {external,
          Narrow(protocol.view()),
          internal,
          Narrow(client.view()),
          enabled != VARIANT_FALSE,
          Narrow(description.view()),
          Narrow(outside.view())};
    return true;
}

// The gateway of the default route with the lowest metric, in network order; 0 when
// there is none.
DWORD DefaultGateway() {
    ULONG size = 0;
    if (::GetIpForwardTable(nullptr, &size, FALSE) != ERROR_INSUFFICIENT_BUFFER) return 0;
    std::vector<MIB_IPFORWARDROW> rows(size / sizeof(MIB_IPFORWARDROW) + 1);
    auto* table = reinterpret_cast<MIB_IPFORWARDTABLE*>(rows.data());
    if (::GetIpForwardTable(table, &size, FALSE) != NO_ERROR) return 0;
    const MIB_IPFORWARDROW* best = nullptr;
    for (DWORD i = 0; i < table->dwNumEntries; ++i) {
        const MIB_IPFORWARDROW& row = table->table[i];
        if (row.dwForwardDest == 0 && row.dwForwardMask == 0 && row.dwForwardNextHop != 0 &&
            (!best || row.dwForwardMetric1 < best->dwForwardMetric1))
            best = &row;
    }
    return best ? best->dwForwardNextHop : 0;
}

}  // namespace

std::optional<std::vector<platform::PortMapping>> UpnpRouter::mappings() {
    const ComApartment com(kApartment);
    if (!com.usable()) return std::nullopt;
    const ComPtr<IStaticPortMappingCollection> collection = Collection();
    ComPtr<IUnknown> unknown;
    ComPtr<IEnumVARIANT> items;
    if (!collection || FAILED(collection->get__NewEnum(unknown.put())) ||
        FAILED(unknown->QueryInterface(IID_IEnumVARIANT, items.putVoid())))
        return std::nullopt;
    std::vector<platform::PortMapping> found;
    Variant item;
    for (ULONG fetched = 0; items->Next(1, item.put(), &fetched) == S_OK && fetched == 1;) {
        ComPtr<IStaticPortMapping> mapping;
        IUnknown* object = item.get().vt == VT_DISPATCH  ? item.get().pdispVal
                           : item.get().vt == VT_UNKNOWN ? item.get().punkVal
                                                         : nullptr;
        if (!object || FAILED(object->QueryInterface(natupnp::kIidStaticPortMapping, mapping.putVoid())) ||
            !Read(*mapping.get(), found.emplace_back()))
            return std::nullopt;
    }
    return found;
}

bool UpnpRouter::add(const platform::PortMapping& mapping) {
    const ComApartment com(kApartment);
    if (!com.usable()) return false;
    const ComPtr<IStaticPortMappingCollection> collection = Collection();
    const Bstr protocol(Widen(mapping.protocol)), client(Widen(mapping.internalClient)),
        description(Widen(mapping.description));
    ComPtr<IStaticPortMapping> added;
    return collection &&
           SUCCEEDED(collection->Add(mapping.externalPort, protocol.get(), mapping.internalPort, client.get(),
                                     mapping.enabled ? VARIANT_TRUE : VARIANT_FALSE, description.get(), added.put()));
}

bool UpnpRouter::remove(int externalPort, const std::string& protocol) {
    const ComApartment com(kApartment);
    if (!com.usable()) return false;
    const ComPtr<IStaticPortMappingCollection> collection = Collection();
    const Bstr wideProtocol(Widen(protocol));
    return collection && SUCCEEDED(collection->Remove(externalPort, wideProtocol.get()));
}

std::string UpnpRouter::localAddress() {
    const DWORD gateway = DefaultGateway();
    const SocketsStarted sockets;
    if (!gateway || !sockets) return {};
    // Connecting a datagram socket sends nothing: it only picks the route, and with
    // it the address this computer has on the gateway's link.
    const UniqueSocket probe(::socket(AF_INET, SOCK_DGRAM, IPPROTO_UDP));
    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_port = ::htons(1900);
    to.sin_addr.s_addr = gateway;
    sockaddr_in local{};
    int length = sizeof local;
    char text[INET_ADDRSTRLEN] = {};
    if (!probe || ::connect(probe.get(), reinterpret_cast<const sockaddr*>(&to), sizeof to) != 0 ||
        ::getsockname(probe.get(), reinterpret_cast<sockaddr*>(&local), &length) != 0 ||
        !::inet_ntop(AF_INET, &local.sin_addr, text, sizeof text))
        return {};
    return text;
}

}  // namespace kestrum::win32
