#pragma once
// The router link over Windows Sockets. Every socket is bound to the chosen source
// address before it sends: the router grants an IPv6 pinhole only to a request that
// comes from the very address it opens to, and WinHTTP cannot choose its source.

#include "platform/router_link.h"

namespace kestrum::win32 {

class WinsockRouterLink : public platform::RouterLink {
public:
    std::optional<std::string> search(const std::string& source, const std::string& message, std::size_t maxBytes,
                                      std::chrono::milliseconds wait) override;
    std::optional<std::string> exchange(const std::string& source, const std::string& host, std::uint16_t port,
                                        const std::string& request, std::size_t maxBytes,
                                        std::chrono::milliseconds wait) override;
};

}  // namespace kestrum::win32
