#include "info/start_sys_info.h"

#include "platform/identity.h"
#include "platform/registry_reader.h"

namespace kestrum::info {

namespace {

constexpr const char* kPathKey = "SOFTWARE\\Microsoft\\Shared Tools\\MSINFO";
constexpr const char* kPathValue = "PATH";
constexpr const char* kFolderKey = "SOFTWARE\\Microsoft\\Shared Tools Location";
constexpr const char* kFolderValue = "MSINFO";

}  // namespace

void StartSysInfo(const SysInfoServices& services) {
    using platform::ValueRead;
    std::string SysInfoPath;
    const auto root = platform::RegistryRoot::LocalMachine;
    const ValueRead path = platform::GetKeyValue(services.registry, root, kPathKey, kPathValue, SysInfoPath);
    bool found = path == ValueRead::Read;
    // A value of no bytes is a broken entry, not a missing one: the folder is
    // not looked for then.
    if (path == ValueRead::Missing &&
        platform::GetKeyValue(services.registry, root, kFolderKey, kFolderValue, SysInfoPath) == ValueRead::Read) {
        SysInfoPath += "\\MSINFO32.EXE";
        found = services.files.normalFileExists(SysInfoPath);
    }
    // Exactly the file at the path: with blanks in it (C:\Program Files\...)
    // an unquoted command line would first try C:\Program.exe.
    if (found && services.system.startProgram(SysInfoPath)) return;
    services.ui.messageBox(kSysInfoUnavailable, platform::kOkOnly, platform::kAppTitle);
}

}  // namespace kestrum::info
