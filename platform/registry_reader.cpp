#include "platform/registry_reader.h"

#include <algorithm>
#include <cstdint>
#include <vector>

namespace kestrum::platform {

namespace {

constexpr std::uint32_t kBufferBytes = 1024;

// The 32-bit number in the value's first bytes (little-endian), in decimal.
// Dropping a trailing zero byte, as the trim does, leaves the number unchanged.
std::string NumberText(const std::vector<std::uint8_t>& bytes, std::size_t count) {
    std::uint32_t number = 0;
    for (std::size_t i = std::min<std::size_t>(count, 4); i-- > 0;) number = (number << 8) | bytes[i];
    return std::to_string(number);
}

}  // namespace

ValueRead GetKeyValue(Registry& registry, RegistryRoot KeyRoot, const std::string& KeyName,
                      const std::string& SubKeyRef, std::string& KeyVal) {
    RegistryKey opened = 0;
    // Read access only: a user without administrator rights is refused write
    // access to the local machine's keys, and only reading is needed here.
    if (registry.openKey(KeyRoot, KeyName, kKeyRead, opened) != 0) {
        KeyVal.clear();
        return ValueRead::Missing;
    }
    const OwnedRegistryKey hKey(registry, opened);

    std::vector<std::uint8_t> tmpVal(kBufferBytes, 0);
    std::uint32_t KeyValType = 0;
    std::uint32_t KeyValSize = kBufferBytes;
    if (registry.queryValue(hKey.get(), SubKeyRef, KeyValType, tmpVal, KeyValSize) != 0) {
        KeyVal.clear();
        return ValueRead::Missing;
    }
    if (KeyValSize == 0) return ValueRead::Empty;
    std::size_t kept = std::min<std::size_t>(KeyValSize, tmpVal.size());
    if (tmpVal[kept - 1] == 0) --kept;  // one terminating zero

    switch (KeyValType) {
        case kRegSz: KeyVal.assign(tmpVal.begin(), tmpVal.begin() + static_cast<std::ptrdiff_t>(kept)); break;
        case kRegDword: KeyVal = NumberText(tmpVal, kept); break;
        default: break;
    }
    return ValueRead::Read;
}

}  // namespace kestrum::platform
