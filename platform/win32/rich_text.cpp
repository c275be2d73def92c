#include "platform/win32/rich_text.h"

#include <richedit.h>

#include <algorithm>
#include <cstring>

#include "platform/win32/text.h"
#include "platform/win32/unique_handle.h"

namespace kestrum::win32 {

namespace {

struct ResourceReader {
    const char* next;
    DWORD left;
};

DWORD CALLBACK ReadChunk(DWORD_PTR cookie, LPBYTE buffer, LONG wanted, LONG* given) {
    auto* reader = reinterpret_cast<ResourceReader*>(cookie);
    const DWORD count = std::min(reader->left, static_cast<DWORD>(std::max<LONG>(wanted, 0)));
    std::memcpy(buffer, reader->next, count);
    reader->next += count;
    reader->left -= count;
    *given = static_cast<LONG>(count);
    return 0;
}

}  // namespace

const wchar_t* RichEditClass() {
    // Kept loaded until the program ends: boxes of its class may exist until then.
    static const UniqueHmodule msftedit(::LoadLibraryExW(L"Msftedit.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32));
    if (msftedit) return MSFTEDIT_CLASS;
    // Older systems (and some Wine prefixes) have only the 2.0 control.
    static const UniqueHmodule riched20(::LoadLibraryExW(L"riched20.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32));
    if (riched20) return RICHEDIT_CLASSW;
    return nullptr;
}

bool LoadRtfDocument(HWND box, std::string_view resourceName) {
    const HMODULE module = ::GetModuleHandleW(nullptr);
    const HRSRC found = ::FindResourceW(module, Widen(resourceName).c_str(), L"RTF");
    // Resources live as long as the module: nothing to free.
    const HGLOBAL loaded = found ? ::LoadResource(module, found) : nullptr;
    const void* bytes = loaded ? ::LockResource(loaded) : nullptr;
    if (!bytes) return false;
    ResourceReader reader{static_cast<const char*>(bytes), ::SizeofResource(module, found)};
    EDITSTREAM stream{};
    stream.dwCookie = reinterpret_cast<DWORD_PTR>(&reader);
    stream.pfnCallback = ReadChunk;
    ::SendMessageW(box, EM_STREAMIN, SF_RTF, reinterpret_cast<LPARAM>(&stream));
    return stream.dwError == 0 && ::GetWindowTextLengthW(box) > 0;
}

}  // namespace kestrum::win32
