#pragma once
// What the two actions on a remote computer hand to the shell. Both are made
// only of the decoded address and the program's folder: nothing the user typed
// reaches them as text.

#include <string>

namespace kestrum::remote {

// The Remote Desktop client's command line: the address, administrator
// session, and the connection settings file in the program's folder.
std::string RemoteDesktopParameters(const std::string& address, const std::string& appPath);

// The remote computer's shared folders, as the file explorer opens them.
std::string SharedFoldersPath(const std::string& address);

}  // namespace kestrum::remote
