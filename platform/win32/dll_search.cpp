#include "platform/win32/dll_search.h"

#include <windows.h>

namespace kestrum::win32 {

void LockDllSearchToSystemFolder() {
    ::SetDefaultDllDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32);
    ::SetDllDirectoryW(L"");
}

}  // namespace kestrum::win32
