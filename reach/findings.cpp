#include "reach/findings.h"

#include <array>
#include <cstdint>

#include "net/ipv4.h"

namespace kestrum::reach {

namespace {

Finding RemoteDesktopFinding(const Observations& seen) {
    Finding f{"Remote Desktop", State::Unknown, "Could not read whether Remote Desktop is turned on."};
    if (seen.editionAccepts == false) {
        f.state = State::Problem;
        f.text =
            "This edition of Windows cannot accept Remote Desktop connections, only start them. "
            "Connect from this computer to the other side instead.";
    } else if (seen.remoteDesktopOn == false) {
        f.state = State::Problem;
        f.text = "Remote Desktop is turned off. Turn it on in Settings, System, Remote Desktop.";
    } else if (seen.remoteDesktopOn == true) {
        f.state = State::Good;
        f.text = "Remote Desktop is turned on.";
    }
    return f;
}

Finding RouterFinding(const Observations& seen) {
    if (!seen.mappings)
        return {"Router", State::Problem,
                "No router answered over UPnP. Turn on UPnP in the router's settings, "
                "or open port 3389 there by hand."};
    std::string text = "The router answers over UPnP.";
    if (seen.routerOutside && !seen.routerOutside->empty())
        text += " Its outside address is " + *seen.routerOutside + ".";
    return {"Router", State::Good, text};
}

Finding OutsideFinding(const Observations& seen) {
    Finding f{"Outside address", State::Unknown, "Not known: no router answered."};
    if (!seen.mappings) return f;
    if (!seen.routerOutside) {
        f.text = "The router did not tell its outside address.";
    } else if (seen.routerOutside->empty()) {
        f.state = State::Problem;
        f.text =
            "The router has no outside address of its own: your provider shares one public address among "
            "many homes, so nothing on this router can be reached from the Internet over IPv4. " +
            InsteadOfIpv4(seen);
    } else if (const std::string& outside = *seen.routerOutside; ProviderInFront(seen)) {
        f.state = State::Problem;
        f.text = "The router's outside address " + outside + " is not the public address" +
                 (seen.publicAddress.empty() ? std::string() : " " + seen.publicAddress) +
                 ": your provider or a second router stands in front of it, and opening a port on "
                 "this router cannot help. " +
                 InsteadOfIpv4(seen);
    } else if (seen.publicAddress.empty()) {
        f.text = "The public address is not known yet, so the router's (" + outside + ") cannot be compared with it.";
    } else {
        f.state = State::Good;
        f.text = "The router's outside address is the public address " + outside + ".";
    }
    return f;
}

Finding MappingFinding(const Observations& seen) {
    Finding f{"Port 3389", State::Unknown, "Not known: no router answered."};
    if (!seen.mappings) return f;
    const PortMapping* mapping = RemoteDesktopMapping(*seen.mappings);
    if (!mapping && ProviderInFront(seen)) {
        f.state = State::Problem;
        f.text =
            "Port 3389 on the router is closed, and opening it cannot help while a provider stands in front "
            "of the router. " +
            InsteadOfIpv4(seen);
    } else if (!mapping) {
        f.state = State::Problem;
        f.text =
            "Port 3389 on the router is closed, so nobody outside can reach Remote Desktop here. "
            "Open it below while you need it.";
    } else if (seen.localAddress.empty()) {
        f.text = "Port 3389 on the router leads to " + mapping->internalClient +
                 "; this computer's address on the router's network is not known.";
    } else if (mapping->internalClient == seen.localAddress) {
        f.state = State::Good;
        f.text = "Port 3389 on the router leads to this computer (" + seen.localAddress + ").";
    } else {
        f.state = State::Problem;
        f.text = "Port 3389 on the router leads to " + mapping->internalClient + ", not to this computer (" +
                 seen.localAddress + "). Change that mapping in the router's settings.";
    }
    return f;
}

Finding Ipv6Finding(const Observations& seen) {
    Finding f{"IPv6", State::Unknown, "This computer has no global IPv6 address, so it cannot be reached over IPv6."};
    if (seen.ipv6Id.empty()) return f;
    const std::string id = "Your IPv6 ID is " + seen.ipv6Id;
    if (seen.pinholeOpen) {
        f.state = State::Good;
        f.text =
            "Port 3389 is open for IPv6 to this computer: the other side can type your IPv6 ID " + seen.ipv6Id + ".";
    } else if (!seen.firewall) {
        f.text = id +
                 ". The router's IPv6 firewall did not answer over UPnP: if the other side cannot connect, "
                 "allow port 3389 to this computer in the router's settings.";
    } else if (!seen.firewall->enabled) {
        f.state = State::Good;
        f.text = id + ", and the router's IPv6 firewall is off: the other side can reach this computer over IPv6.";
    } else if (!seen.firewall->pinholesAllowed) {
        f.state = State::Problem;
        f.text = id +
                 ", but the router's IPv6 firewall does not let programs open a port. Allow that in the "
                 "router's settings, or allow port 3389 to this computer there by hand.";
    } else {
        f.state = State::Problem;
        f.text = id + ". Port 3389 is closed for IPv6 on the router's firewall: open it below while you need it.";
    }
    return f;
}

}  // namespace

bool IsPrivateOrShared(std::string_view address) {
    struct Range {
        std::uint32_t network, mask;
    };
    static constexpr std::array<Range, 4> kRanges{{
        {0x0A000000, 0xFF000000},  // 10/8
        {0xAC100000, 0xFFF00000},  // 172.16/12
        {0xC0A80000, 0xFFFF0000},  // 192.168/16
        {0x64400000, 0xFFC00000},  // 100.64/10, a provider's shared space
    }};
    const std::optional<net::Ipv4Bytes> bytes = net::ParseIpv4(address);
    if (!bytes) return false;
    const std::uint32_t value = std::uint32_t{(*bytes)[0]} << 24 | (*bytes)[1] << 16 | (*bytes)[2] << 8 | (*bytes)[3];
    for (const Range& range : kRanges)
        if ((value & range.mask) == range.network) return true;
    return false;
}

bool ProviderInFront(const Observations& seen) {
    if (!seen.mappings || !seen.routerOutside) return false;
    const std::string& outside = *seen.routerOutside;
    return outside.empty() || IsPrivateOrShared(outside) ||
           (!seen.publicAddress.empty() && outside != seen.publicAddress);
}

std::string InsteadOfIpv4(const Observations& seen) {
    if (!seen.ipv6Id.empty()) return "Give the other side your IPv6 ID (" + seen.ipv6Id + ") instead.";
    return "Use a VPN and give the other side your Alternate ID.";
}

const PortMapping* RemoteDesktopMapping(const std::vector<PortMapping>& mappings) {
    for (const PortMapping& mapping : mappings)
        if (mapping.externalPort == kRemoteDesktopPort && mapping.protocol == kTcp) return &mapping;
    return nullptr;
}

bool IsOurs(const PortMapping& mapping, std::string_view localAddress) {
    return mapping.externalPort == kRemoteDesktopPort && mapping.protocol == kTcp &&
           mapping.description == kMappingDescription && !localAddress.empty() &&
           mapping.internalClient == localAddress;
}

std::vector<Finding> Findings(const Observations& seen) {
    return {RemoteDesktopFinding(seen), RouterFinding(seen), OutsideFinding(seen), MappingFinding(seen),
            Ipv6Finding(seen)};
}

}  // namespace kestrum::reach
