#pragma once
// Rich-text boxes: the control's window class and documents kept as resources.

#include <windows.h>

#include <string_view>

namespace kestrum::win32 {

// The newest rich-edit class the system has (its library loaded for good), or
// null when there is none.
const wchar_t* RichEditClass();

// Fills the box with the program's rich-text resource of that name (type "RTF").
bool LoadRtfDocument(HWND box, std::string_view resourceName);

}  // namespace kestrum::win32
