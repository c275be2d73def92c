#pragma once
// How long a WinINet session waits for a silent server.

#include <windows.h>
#include <wininet.h>

namespace kestrum::win32 {

// The session's connect, send and receive timeouts, each of ms milliseconds.
inline void SetInternetTimeouts(HINTERNET session, DWORD ms) {
    for (const DWORD option :
         {INTERNET_OPTION_CONNECT_TIMEOUT, INTERNET_OPTION_SEND_TIMEOUT, INTERNET_OPTION_RECEIVE_TIMEOUT})
        ::InternetSetOptionW(session, option, &ms, sizeof ms);
}

}  // namespace kestrum::win32
