#pragma once

#include <string_view>

namespace kestrum::remote {

// The shape test a remote ID passes before it is looked up: four parts between
// three "-", empty parts included. What the parts hold is the codec's business.
bool HasFourParts(std::string_view id);

}  // namespace kestrum::remote
