#pragma once
// IP.EXE's command line:
//   IP.EXE [--stun HOST:PORT]... [--url URL]... [--deadline MS] [--quiet] [--help]
// Naming any STUN server or URL replaces the whole built-in list of sources.

#include <chrono>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace kestrum::ipexe {

struct HostPort {
    std::string host;
    std::uint16_t port = 0;
    bool operator==(const HostPort&) const = default;
};

// What the program's exit code says.
enum ExitCode { kStored = 0, kNoAnswer = 1, kBadCommandLine = 2, kStoreRefused = 3 };

inline constexpr std::chrono::milliseconds kDefaultDeadline{8000};
inline constexpr std::chrono::milliseconds kMaxDeadline{60000};

// Well-known public sources, used when the command line names none.
std::vector<HostPort> DefaultStunServers();
std::vector<std::string> DefaultUrls();

struct Options {
    std::vector<HostPort> stunServers;
    std::vector<std::string> urls;
    std::chrono::milliseconds deadline = kDefaultDeadline;
    bool quiet = false;  // no message box, for scripts and tests
    bool help = false;
    std::string error;  // not empty: the command line was bad, and why
};

// The arguments after the program's own name. Kestrum starts us with our path
// alone, quoted, as one token; other starters may write it unquoted (a path with
// blanks then comes split over several tokens) or in short names.
std::vector<std::string> ProgramArguments(const std::vector<std::string>& argv, std::string_view programPath);

// args without the program's own name.
Options ParseOptions(const std::vector<std::string>& args);

std::string UsageText();

}  // namespace kestrum::ipexe
