#pragma once
// Small text helpers the program's parts share: blanks trimmed off, and Windows
// paths taken apart and put together. Pure text functions, no state.

#include <string>
#include <string_view>

namespace kestrum::platform {

// The text without the leading and trailing characters that are among blanks.
std::string_view Trimmed(std::string_view text, std::string_view blanks);

// Leading and trailing blanks removed; only the space character counts as a blank.
std::string Trim(const std::string& text);

// The folder that holds a program file: no trailing backslash, except at the
// root of a drive ("C:\"), as the platform reports program folders.
std::string FolderOfFile(const std::string& programFile);

// A file name in a folder: one backslash between them, also when the folder
// already ends in one (the root of a drive).
std::string JoinPath(const std::string& folder, const std::string& name);

}  // namespace kestrum::platform
