#include "platform/win32/settings.h"

#include <windows.h>

#include "platform/win32/text.h"
#include "platform/win32/unique_handle.h"

namespace kestrum::win32 {

std::wstring RegistrySettings::KeyPath(const std::string& application, const std::string& section) {
    return L"Software\\VB and VBA Program Settings\\" + Widen(application) + L"\\" + Widen(section);
}

std::optional<std::string> RegistrySettings::getSetting(const std::string& application, const std::string& section,
                                                        const std::string& key) {
    UniqueHkey hkey;
    if (::RegOpenKeyExW(HKEY_CURRENT_USER, KeyPath(application, section).c_str(), 0, KEY_QUERY_VALUE, hkey.put()) !=
        ERROR_SUCCESS)
        return std::nullopt;
    const std::wstring name = Widen(key);
    // Any program can write here, so the size is asked for and the value may grow
    // between the two calls; RegGetValueW also guarantees the terminating NUL.
    for (int attempt = 0; attempt < 4; ++attempt) {
        DWORD bytes = 0;
        if (::RegGetValueW(hkey.get(), nullptr, name.c_str(), RRF_RT_REG_SZ, nullptr, nullptr, &bytes) != ERROR_SUCCESS)
            return std::nullopt;
        std::wstring value(bytes / sizeof(wchar_t) + 1, L'\0');
        bytes = static_cast<DWORD>(value.size() * sizeof(wchar_t));
        const LSTATUS status =
            ::RegGetValueW(hkey.get(), nullptr, name.c_str(), RRF_RT_REG_SZ, nullptr, value.data(), &bytes);
        if (status == ERROR_MORE_DATA) continue;
        if (status != ERROR_SUCCESS) return std::nullopt;
        value.resize(bytes / sizeof(wchar_t));
        while (!value.empty() && value.back() == L'\0') value.pop_back();
        return Narrow(value);
    }
    return std::nullopt;
}

bool RegistrySettings::saveSetting(const std::string& application, const std::string& section, const std::string& key,
                                   const std::string& value) {
    UniqueHkey hkey;
    if (::RegCreateKeyExW(HKEY_CURRENT_USER, KeyPath(application, section).c_str(), 0, nullptr, 0, KEY_SET_VALUE,
                          nullptr, hkey.put(), nullptr) != ERROR_SUCCESS)
        return false;
    const std::wstring wide = Widen(value);
    const auto bytes = static_cast<DWORD>((wide.size() + 1) * sizeof(wchar_t));
    return ::RegSetValueExW(hkey.get(), Widen(key).c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(wide.c_str()),
                            bytes) == ERROR_SUCCESS;
}

}  // namespace kestrum::win32
