#pragma once
// The running program's own file.

#include <string>

namespace kestrum::win32 {

// The full path of the running program's exe; empty when it cannot be had.
std::string ProgramFile();

}  // namespace kestrum::win32
