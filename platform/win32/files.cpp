#include "platform/win32/files.h"

#include <windows.h>

#include "platform/win32/text.h"
#include "platform/win32/unique_handle.h"

namespace kestrum::win32 {

bool Win32Files::normalFileExists(const std::string& path) {
    constexpr DWORD kNotNormal = FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;
    WIN32_FIND_DATAW found{};
    UniqueFindHandle search(::FindFirstFileW(Widen(path).c_str(), &found));
    if (!search) return false;
    do {
        if (!(found.dwFileAttributes & kNotNormal)) return true;
    } while (::FindNextFileW(search.get(), &found));
    return false;
}

}  // namespace kestrum::win32
