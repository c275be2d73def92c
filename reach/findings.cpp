#include "reach/findings.h"

#include <array>
#include <cstdint>

namespace kestrum::reach {

namespace {

// Dotted-quad text as a number; nothing when it is not four parts of 0 to 255.
std::optional<std::uint32_t> ParseAddress(std::string_view text) {
    std::uint32_t value = 0;
    for (int part = 0; part < 4; ++part) {
        if (part > 0) {
            if (text.empty() || text.front() != '.') return std::nullopt;
            text.remove_prefix(1);
        }
        unsigned number = 0;
        std::size_t digits = 0;
        while (digits < text.size() && digits < 3 && text[digits] >= '0' && text[digits] <= '9')
            number = number * 10 + static_cast<unsigned>(text[digits++] - '0');
        if (digits == 0 || number > 255) return std::nullopt;
        text.remove_prefix(digits);
        value = value << 8 | number;
    }
    if (!text.empty()) return std::nullopt;
    return value;
}

Finding RemoteDesktop(const Observations& seen) {
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

Finding Router(const Observations& seen, const std::string& outside) {
    if (!seen.mappings)
        return {"Router", State::Problem,
                "No router answered over UPnP. Turn on UPnP in the router's settings, "
                "or open port 3389 there by hand."};
    std::string text = "The router answers over UPnP.";
    if (!outside.empty()) text += " Its outside address is " + outside + ".";
    return {"Router", State::Good, text};
}

Finding Outside(const Observations& seen, const std::string& outside) {
    Finding f{"Outside address", State::Unknown, "Not known: no router answered."};
    if (!seen.mappings) return f;
    if (outside.empty()) {
        f.text = "The router did not tell its outside address.";
    } else if (IsPrivateOrShared(outside) || (!seen.publicAddress.empty() && outside != seen.publicAddress)) {
        f.state = State::Problem;
        f.text = "The router's outside address " + outside + " is not the public address" +
                 (seen.publicAddress.empty() ? std::string() : " " + seen.publicAddress) +
                 ": your provider or a second router stands in front of it, and opening a port on "
                 "this router cannot help. Use a VPN and give the other side your Alternate ID.";
    } else if (seen.publicAddress.empty()) {
        f.text = "The public address is not known yet, so the router's (" + outside + ") cannot be compared with it.";
    } else {
        f.state = State::Good;
        f.text = "The router's outside address is the public address " + outside + ".";
    }
    return f;
}

Finding Door(const Observations& seen) {
    Finding f{"Port 3389", State::Unknown, "Not known: no router answered."};
    if (!seen.mappings) return f;
    const platform::PortMapping* door = RemoteDesktopDoor(*seen.mappings);
    if (!door) {
        f.state = State::Problem;
        f.text =
            "Port 3389 on the router is closed, so nobody outside can reach Remote Desktop here. "
            "Open it below while you need it.";
    } else if (seen.localAddress.empty()) {
        f.text = "Port 3389 on the router leads to " + door->internalClient +
                 "; this computer's address on the router's network is not known.";
    } else if (door->internalClient == seen.localAddress) {
        f.state = State::Good;
        f.text = "Port 3389 on the router leads to this computer (" + seen.localAddress + ").";
    } else {
        f.state = State::Problem;
        f.text = "Port 3389 on the router leads to " + door->internalClient + ", not to this computer (" +
                 seen.localAddress + "). Change that mapping in the router's settings.";
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
    const std::optional<std::uint32_t> value = ParseAddress(address);
    if (!value) return false;
    for (const Range& range : kRanges)
        if ((*value & range.mask) == range.network) return true;
    return false;
}

const platform::PortMapping* RemoteDesktopDoor(const std::vector<platform::PortMapping>& mappings) {
    for (const platform::PortMapping& mapping : mappings)
        if (mapping.externalPort == kRemoteDesktopPort && mapping.protocol == "TCP") return &mapping;
    return nullptr;
}

bool IsOurs(const platform::PortMapping& mapping, std::string_view localAddress) {
    return mapping.externalPort == kRemoteDesktopPort && mapping.protocol == "TCP" &&
           mapping.description == kMappingDescription && !localAddress.empty() &&
           mapping.internalClient == localAddress;
}

std::string OutsideAddress(const std::vector<platform::PortMapping>& mappings) {
    for (const platform::PortMapping& mapping : mappings)
        if (!mapping.externalAddress.empty()) return mapping.externalAddress;
    return {};
}

std::vector<Finding> Findings(const Observations& seen) {
    const std::string outside = !seen.routerOutside.empty() ? seen.routerOutside
                                : seen.mappings             ? OutsideAddress(*seen.mappings)
                                                            : "";
    return {RemoteDesktop(seen), Router(seen, outside), Outside(seen, outside), Door(seen)};
}

}  // namespace kestrum::reach
