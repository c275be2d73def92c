#pragma once
// UTF-8 inside the program, UTF-16 at the Windows interface.

#include <string>
#include <string_view>

namespace kestrum::win32 {

std::wstring Widen(std::string_view utf8);
std::string Narrow(std::wstring_view utf16);

}  // namespace kestrum::win32
