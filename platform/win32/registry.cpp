#include "platform/win32/registry.h"

#include <windows.h>

#include <algorithm>

#include "platform/win32/text.h"

namespace kestrum::win32 {

namespace {

HKEY Key(platform::RegistryKey key) { return reinterpret_cast<HKEY>(key); }

bool IsText(DWORD type) { return type == REG_SZ || type == REG_EXPAND_SZ || type == REG_MULTI_SZ; }

}  // namespace

long Win32Registry::openKey(platform::RegistryRoot root, const std::string& subKey, unsigned access,
                            platform::RegistryKey& key) {
    // The predefined keys are 32-bit values sign-extended to a handle, as windows.h makes them.
    const auto rootKey = reinterpret_cast<HKEY>(static_cast<LONG_PTR>(static_cast<LONG>(root)));
    HKEY opened = nullptr;
    const LSTATUS status = ::RegOpenKeyExW(rootKey, Widen(subKey).c_str(), 0, access, &opened);
    if (status == ERROR_SUCCESS) key = reinterpret_cast<platform::RegistryKey>(opened);
    return status;
}

long Win32Registry::queryValue(platform::RegistryKey key, const std::string& valueName, std::uint32_t& type,
                               std::vector<std::uint8_t>& data, std::uint32_t& size) {
    // The whole value in UTF-16 first (it may grow between the calls), then
    // measured and copied in UTF-8 as the single-byte call does in its code page.
    const std::wstring name = Widen(valueName);
    DWORD kind = 0, bytes = 0;
    std::vector<BYTE> raw;
    LSTATUS status = ERROR_MORE_DATA;
    for (int attempt = 0; status == ERROR_MORE_DATA && attempt < 4; ++attempt) {
        status = ::RegQueryValueExW(Key(key), name.c_str(), nullptr, &kind, nullptr, &bytes);
        if (status != ERROR_SUCCESS) break;
        raw.resize(bytes);
        status = ::RegQueryValueExW(Key(key), name.c_str(), nullptr, &kind, raw.data(), &bytes);
    }
    if (status != ERROR_SUCCESS) return status;
    raw.resize(bytes);
    std::string converted;
    if (IsText(kind))
        converted = Narrow(std::wstring_view(reinterpret_cast<const wchar_t*>(raw.data()), raw.size() / 2));
    else converted.assign(raw.begin(), raw.end());
    type = kind;
    size = static_cast<std::uint32_t>(converted.size());
    if (converted.size() > data.size()) return ERROR_MORE_DATA;
    std::copy(converted.begin(), converted.end(), data.begin());
    return ERROR_SUCCESS;
}

long Win32Registry::closeKey(platform::RegistryKey key) { return ::RegCloseKey(Key(key)); }

}  // namespace kestrum::win32
