#pragma once
// What programs outside the tests report: a stand-in's log, Linux commands such as
// Debian's upnpc about the router of the test fixture's (scripts/router-namespace.sh),
// and the host on the Internet side of that router about what it reaches.

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "platform/win32/router_link.h"
#include "platform/win32/text.h"

namespace kestrum::testsupport {

// The stand-in's log (its program file, a line break, its command line) once it has
// ended, or nothing after ten seconds.
inline std::wstring RunOf(const std::wstring& log) {
    for (int wait = 0; wait < 100; ++wait, ::Sleep(100)) {
        FILE* in = _wfopen(log.c_str(), L"rb");
        if (!in) continue;
        std::wstring text;
        for (wchar_t c; fread(&c, sizeof c, 1, in) == 1;) text += c;
        fclose(in);
        if (!text.empty() && ::MoveFileExW(log.c_str(), (log + L".read").c_str(), MOVEFILE_REPLACE_EXISTING))
            return text;  // no longer open
    }
    return {};
}

// What a Linux command prints. Wine starts a Linux program but hands it neither our
// pipes nor a handle to wait on: it leaves its output in a file of the test group's.
inline std::string Shell(const std::string& command) {
    const char* dir = std::getenv("KESTRUM_GROUP_DIR");
    const std::string out = std::string(dir ? dir : "/tmp") + "/shell.txt";
    const std::filesystem::path seen = win32::Widen("Z:" + out);
    std::filesystem::remove(seen);
    std::ostringstream line;
    line << "Z:\\bin\\sh -c \"" << command << " >" << out << ".part; mv " << out << ".part " << out << '"';
    std::wstring commandLine = win32::Widen(line.str());
    STARTUPINFOW startup{sizeof startup};
    PROCESS_INFORMATION started{};
    if (::CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                         &started)) {
        ::CloseHandle(started.hThread);
        ::CloseHandle(started.hProcess);
    }
    for (int wait = 0; wait < 100; ++wait, ::Sleep(100))
        if (std::ifstream in{seen}; in) return (std::ostringstream() << in.rdbuf()).str();
    return "no answer in 10 s from: " + command;
}

// What Debian's upnpc prints for the arguments ("-l": the router's list).
inline std::string Upnpc(const std::string& arguments) {
    const char* url = std::getenv("KESTRUM_ROUTER_URL");
    return Shell("upnpc -u " + std::string(url ? url : "") + " " + arguments);
}

// Whether the Internet host reaches host:port over TCP within its 3 s bound, asked on
// its control port (tests/support/outside_host.py) from this computer's IPv6 address.
inline bool OutsideReaches(const std::string& host, int port) {
    const char *from = std::getenv("KESTRUM_LAN_ADDRESS6"), *outside = std::getenv("KESTRUM_OUTSIDE_HOST6"),
               *control = std::getenv("KESTRUM_OUTSIDE_CONTROL");
    if (!from || !outside || !control) return false;
    const auto said =
        win32::WinsockRouterLink().exchange(from, outside, std::uint16_t(std::atoi(control)),
                                            host + " " + std::to_string(port) + "\n", 100, std::chrono::seconds(10));
    return said && said->starts_with("open");
}

}  // namespace kestrum::testsupport
