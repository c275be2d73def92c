#pragma once
// Windows Sockets started for as long as the test servers live.

#include <winsock2.h>

namespace kestrum::testsupport {

struct WinsockSession {
    WinsockSession() {
        WSADATA data;
        ::WSAStartup(MAKEWORD(2, 2), &data);
    }
    ~WinsockSession() { ::WSACleanup(); }
    WinsockSession(const WinsockSession&) = delete;
    WinsockSession& operator=(const WinsockSession&) = delete;
};

}  // namespace kestrum::testsupport
