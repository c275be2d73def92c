#pragma once
// UDP over Winsock 2 for the STUN sources.

#include "platform/public_address_sources.h"

namespace kestrum::win32 {

class WinsockUdpNetwork : public platform::UdpNetwork {
public:
    WinsockUdpNetwork();
    ~WinsockUdpNetwork() override;
    WinsockUdpNetwork(const WinsockUdpNetwork&) = delete;
    WinsockUdpNetwork& operator=(const WinsockUdpNetwork&) = delete;

    std::vector<platform::Ipv4Endpoint> resolve(const std::string& host, std::uint16_t port) override;
    std::unique_ptr<platform::UdpSocket> connect(const platform::Ipv4Endpoint& peer) override;

private:
    bool started_ = false;
};

}  // namespace kestrum::win32
