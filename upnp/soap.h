#pragma once
// SOAP as a UPnP control point speaks it: the request's envelope and what the
// router's answer comes to.

#include <cstddef>
#include <string>
#include <string_view>

#include "upnp/gateway.h"
#include "upnp/http_message.h"

namespace kestrum::upnp {

inline constexpr std::size_t kMaxSoapAnswer = 16384;
// Longer out arguments, and more of them, are no answer to any action we call.
inline constexpr std::size_t kMaxValue = 256;
inline constexpr std::size_t kMaxValues = 32;
inline constexpr std::size_t kMaxFaultText = 100;

std::string Envelope(std::string_view serviceType, std::string_view action, const Arguments& arguments);

// Done with the out arguments of `<action>Response`, a fault with its UPnPError,
// or no answer.
Reply ReadReply(const Response& response, std::string_view action);

}  // namespace kestrum::upnp
