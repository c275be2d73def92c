#pragma once
// The local host's LAN address through Windows Sockets 1.1. Every failure is told
// to the user here, so callers only see the empty text.

#include <cstdint>
#include <string>

#include "platform/network.h"
#include "platform/ui.h"

namespace kestrum::net {

// The major version of a version word.
int LowByte(std::uint16_t word);
// The minor version of a version word.
int HighByte(std::uint16_t word);

class Winsock2 {
public:
    Winsock2(platform::Sockets& sockets, platform::Ui& ui) : sockets_(sockets), ui_(ui) {}

    // The host's first address as address text; the empty text on any failure.
    std::string GetHostIP();
    // The sockets, started and checked: stopped again when the answer goes. False
    // (nothing started, or stopped already) after a failure it has told.
    platform::StartedSockets StartSockets();

private:
    void Show(const std::string& text);

    platform::Sockets& sockets_;
    platform::Ui& ui_;
};

}  // namespace kestrum::net
