#pragma once
// Where the program's DLLs may come from.

namespace kestrum::win32 {

// DLLs from the system folder only, never from the current folder or from beside
// the exe (a download folder, say). Each program calls it first, before anything
// else is loaded.
void LockDllSearchToSystemFolder();

}  // namespace kestrum::win32
