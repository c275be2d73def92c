#include "info/start_sys_info.h"

#include <algorithm>
#include <cstdint>
#include <vector>

#include "platform/identity.h"

namespace kestrum::info {

namespace {

constexpr std::uint32_t kBufferBytes = 1024;
constexpr const char* kPathKey = "SOFTWARE\\Microsoft\\Shared Tools\\MSINFO";
constexpr const char* kPathValue = "PATH";
constexpr const char* kFolderKey = "SOFTWARE\\Microsoft\\Shared Tools Location";
constexpr const char* kFolderValue = "MSINFO";

// The 32-bit number in the value's first bytes (little-endian), in decimal.
// Dropping a trailing zero byte, as the trim does, leaves the number unchanged.
std::string NumberText(const std::vector<std::uint8_t>& bytes, std::size_t count) {
    std::uint32_t number = 0;
    for (std::size_t i = std::min<std::size_t>(count, 4); i-- > 0;) number = (number << 8) | bytes[i];
    return std::to_string(number);
}

}  // namespace

platform::ValueRead GetKeyValue(platform::Registry& registry, platform::RegistryRoot KeyRoot,
                                const std::string& KeyName, const std::string& SubKeyRef, std::string& KeyVal) {
    platform::RegistryKey opened = 0;
    // Read access only: a user without administrator rights is refused write
    // access to the local machine's keys, and only reading is needed here.
    if (registry.openKey(KeyRoot, KeyName, platform::kKeyRead, opened) != 0) {
        KeyVal.clear();
        return platform::ValueRead::Missing;
    }
    const platform::OwnedRegistryKey hKey(registry, opened);

    std::vector<std::uint8_t> tmpVal(kBufferBytes, 0);
    std::uint32_t KeyValType = 0;
    std::uint32_t KeyValSize = kBufferBytes;
    if (registry.queryValue(hKey.get(), SubKeyRef, KeyValType, tmpVal, KeyValSize) != 0) {
        KeyVal.clear();
        return platform::ValueRead::Missing;
    }
    if (KeyValSize == 0) return platform::ValueRead::Empty;
    std::size_t kept = std::min<std::size_t>(KeyValSize, tmpVal.size());
    if (tmpVal[kept - 1] == 0) --kept;  // one terminating zero

    switch (KeyValType) {
        case platform::kRegSz: KeyVal.assign(tmpVal.begin(), tmpVal.begin() + static_cast<std::ptrdiff_t>(kept)); break;
        case platform::kRegDword: KeyVal = NumberText(tmpVal, kept); break;
        default: break;
    }
    return platform::ValueRead::Read;
}

void StartSysInfo(const SysInfoServices& services) {
    using platform::ValueRead;
    std::string SysInfoPath;
    const auto root = platform::RegistryRoot::LocalMachine;
    const ValueRead path = GetKeyValue(services.registry, root, kPathKey, kPathValue, SysInfoPath);
    bool found = path == ValueRead::Read;
    // A value of no bytes is a broken entry, not a missing one: the folder is
    // not looked for then.
    if (path == ValueRead::Missing &&
        GetKeyValue(services.registry, root, kFolderKey, kFolderValue, SysInfoPath) == ValueRead::Read) {
        SysInfoPath += "\\MSINFO32.EXE";
        found = services.files.normalFileExists(SysInfoPath);
    }
    // Exactly the file at the path: with blanks in it (C:\Program Files\...)
    // an unquoted command line would first try C:\Program.exe.
    if (found && services.system.startProgram(SysInfoPath)) return;
    services.ui.messageBox(kSysInfoUnavailable, platform::kOkOnly, platform::kAppTitle);
}

}  // namespace kestrum::info
