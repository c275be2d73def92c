#pragma once

#include <cstdint>
#include <string>

namespace kestrum::remote {

// The sentence for a failed shell launch, or the empty text for a success.
std::string LaunchErrorText(std::intptr_t result);

}  // namespace kestrum::remote
