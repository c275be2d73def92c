#pragma once
// HTTP GETs through WinINet with the user's configured proxy, for the echo sources.

#include "platform/public_address_sources.h"

namespace kestrum::win32 {

class WininetHttpClient : public platform::HttpClient {
public:
    std::optional<platform::HttpReply> get(const std::string& url, std::size_t maxBodyBytes,
                                           std::chrono::milliseconds timeout) override;
};

}  // namespace kestrum::win32
