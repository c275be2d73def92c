#pragma once
// What the two actions on a remote computer hand to the shell. Both are made
// only of the decoded address and the program's folder: nothing the user typed
// reaches them as text.

#include <string>

#include "remote/remote_id.h"

namespace kestrum::remote {

// The Remote Desktop client's command line: the address, administrator
// session, and the connection settings file in the program's folder.
std::string RemoteDesktopParameters(const RemoteAddress& address, const std::string& appPath);

// How an IPv6 address is written after "/v:".
std::string RemoteDesktopHost(const platform::Ipv6Bytes& address);

// The remote computer's shared folders, as the file explorer opens them. An IPv6
// address goes as its literal name (the ID under ipv6-literal.net), which Windows
// resolves itself: a UNC path has no room for ":".
std::string SharedFoldersPath(const RemoteAddress& address);

}  // namespace kestrum::remote
