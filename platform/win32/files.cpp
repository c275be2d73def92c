#include "platform/win32/files.h"

#include <windows.h>

#include "platform/win32/text.h"
#include "platform/win32/unique_handle.h"

namespace kestrum::win32 {

namespace {

struct FindTraits {
    using Handle = HANDLE;
    static Handle Invalid() { return INVALID_HANDLE_VALUE; }
    static bool IsValid(Handle h) { return h != INVALID_HANDLE_VALUE; }
    static void Close(Handle h) { ::FindClose(h); }
};

}  // namespace

bool Win32Files::normalFileExists(const std::string& path) {
    constexpr DWORD kNotNormal = FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;
    WIN32_FIND_DATAW found{};
    UniqueHandle<FindTraits> search(::FindFirstFileW(Widen(path).c_str(), &found));
    if (!search) return false;
    do {
        if (!(found.dwFileAttributes & kNotNormal)) return true;
    } while (::FindNextFileW(search.get(), &found));
    return false;
}

}  // namespace kestrum::win32
