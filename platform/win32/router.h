#pragma once
// The router through the UPnP NAT service Windows provides (hnetcfg.dll's UPnPNAT
// object), called through its interfaces; this computer's address through IP Helper
// and Windows Sockets. Each call initialises COM on the calling thread for its own
// length, so any thread but a window's (the search for the router blocks) may call.

#include "platform/router.h"

namespace kestrum::win32 {

class UpnpRouter : public platform::Router {
public:
    std::optional<std::vector<platform::PortMapping>> mappings() override;
    bool add(const platform::PortMapping& mapping) override;
    bool remove(int externalPort, const std::string& protocol) override;
    std::string localAddress() override;
};

}  // namespace kestrum::win32
