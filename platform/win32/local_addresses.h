#pragma once
// This computer's own addresses through IP Helper and Windows Sockets.

#include "platform/local_addresses.h"

namespace kestrum::win32 {

class SystemLocalAddresses : public platform::LocalAddresses {
public:
    std::string gatewayLinkIpv4() override;
    std::vector<platform::LocalIpv6> ipv6() override;
};

}  // namespace kestrum::win32
