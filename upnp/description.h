#pragma once
// Reading the router's device description: which service of a wanted type it
// offers, and where that service's control URL leads.

#include <cstddef>
#include <optional>
#include <span>
#include <string_view>

#include "upnp/gateway.h"
#include "upnp/http_message.h"

namespace kestrum::upnp {

inline constexpr std::size_t kMaxDescription = 65536;

// The first of `types` (in that order of preference) that the description lists,
// with its control URL resolved against <URLBase> or else the description's own
// URL. A control URL that leads to another host than the description's is
// refused: the router's text may not send us elsewhere.
std::optional<Service> FindService(std::string_view description, const Url& descriptionUrl,
                                   std::span<const std::string_view> types);

// `reference` (absolute, "/path" or relative) read against `base`.
std::optional<Url> ResolveUrl(const Url& base, std::string_view reference);

}  // namespace kestrum::upnp
