// A DLL that someone might drop beside kestrum.exe under the name of one it loads
// (msftedit.dll, riched20.dll). Loaded, it leaves the file "planted.marker" beside
// itself; it does nothing else.

#include <windows.h>

#include <string>

BOOL WINAPI DllMain(HINSTANCE self, DWORD reason, LPVOID) {
    std::wstring path(MAX_PATH * 2, L'\0');
    path.resize(::GetModuleFileNameW(self, path.data(), static_cast<DWORD>(path.size())));
    path.resize(path.find_last_of(L'\\') + 1);
    path += L"planted.marker";
    const HANDLE marker = reason == DLL_PROCESS_ATTACH
                              ? ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr)
                              : INVALID_HANDLE_VALUE;
    if (marker != INVALID_HANDLE_VALUE) ::CloseHandle(marker);
    return TRUE;
}
