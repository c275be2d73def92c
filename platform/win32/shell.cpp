#include "platform/win32/shell.h"

#include <windows.h>

#include <shellapi.h>

#include "platform/win32/com_owner.h"
#include "platform/win32/text.h"

namespace kestrum::win32 {

std::intptr_t Win32Shell::execute(std::uintptr_t owner, const std::string& verb, const std::string& file,
                                  const std::optional<std::string>& parameters,
                                  const std::optional<std::string>& folder, int show) {
    const std::wstring wideParameters = parameters ? Widen(*parameters) : std::wstring();
    const std::wstring wideFolder = folder ? Widen(*folder) : std::wstring();
    // A single-threaded apartment, as shell extensions need (a share's folder view,
    // a document's handler), without DDE for OLE1.
    const ComApartment apartment(COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
    const HINSTANCE result =
        ::ShellExecuteW(reinterpret_cast<HWND>(owner), Widen(verb).c_str(), Widen(file).c_str(),
                        parameters ? wideParameters.c_str() : nullptr, folder ? wideFolder.c_str() : nullptr, show);
    return reinterpret_cast<std::intptr_t>(result);
}

}  // namespace kestrum::win32
