#pragma once
// Owners for Windows Sockets: a socket, closed with closesocket, getaddrinfo's list,
// and the use of the sockets library itself, started for as long as its owner lives.

#include <winsock2.h>
// winsock2.h before the rest, which would otherwise pull in the old winsock.h.
#include <ws2tcpip.h>

#include "platform/win32/unique_handle.h"

namespace kestrum::win32 {

struct SocketTraits {
    using Handle = SOCKET;
    static Handle Invalid() { return INVALID_SOCKET; }
    static bool IsValid(Handle s) { return s != INVALID_SOCKET; }
    static void Close(Handle s) { ::closesocket(s); }
};
using UniqueSocket = UniqueHandle<SocketTraits>;
// The list of addresses getaddrinfo gives; here, beside the sockets, for its header.
using UniqueAddrinfo = UniqueNullHandle<addrinfo*, ::freeaddrinfo>;

class SocketsStarted {
public:
    SocketsStarted() : started_(::WSAStartup(MAKEWORD(2, 2), &data_) == 0) {}
    SocketsStarted(const SocketsStarted&) = delete;
    SocketsStarted& operator=(const SocketsStarted&) = delete;
    ~SocketsStarted() {
        if (started_) ::WSACleanup();
    }
    explicit operator bool() const { return started_; }

private:
    WSADATA data_{};
    bool started_;
};

}  // namespace kestrum::win32
