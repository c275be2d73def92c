#include "remote/remote_id.h"

#include <algorithm>

namespace kestrum::remote {

bool HasFourParts(std::string_view id) { return std::count(id.begin(), id.end(), '-') == 3; }

}  // namespace kestrum::remote
