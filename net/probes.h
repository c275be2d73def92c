#pragma once
// Two yes-or-no questions to the network. Neither shows a message nor fails:
// every problem is simply "no".

#include <string>

#include "platform/network.h"

namespace kestrum::net {

// The page the Internet probe asks for: plain http, made for connectivity checks.
inline constexpr const char* kOnlineProbeUrl = "http://www.msftconnecttest.com/connecttest.txt";

// True when a request for the fixed web page got any answer at all.
bool IsOnline(platform::Internet& internet);

// True when the hop-count probe reached the address within 20 hops.
bool IsReachable(platform::HopProbe& probe, const std::string& address);

}  // namespace kestrum::net
