#pragma once
// Reading one value of the registry as text, through the registry facade.

#include <string>

#include "platform/registry.h"

namespace kestrum::platform {

// Reads one value as text into KeyVal. Missing, with KeyVal empty, when the key
// cannot be opened or the value cannot be read into 1024 bytes; Empty, with
// KeyVal untouched, for a value of no bytes (there is nothing to trim, so it is a
// failed read rather than an empty text). A text value loses one terminating
// zero; a number becomes its decimal text; a value of any other type leaves
// KeyVal as it was. The key is closed on every path.
ValueRead GetKeyValue(Registry& registry, RegistryRoot KeyRoot, const std::string& KeyName,
                      const std::string& SubKeyRef, std::string& KeyVal);

}  // namespace kestrum::platform
