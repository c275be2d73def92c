#include "platform/win32/wininet_get.h"

#include <windows.h>
#include <wininet.h>

#include <algorithm>

#include "platform/identity.h"
#include "platform/win32/text.h"
#include "platform/win32/unique_handle.h"

namespace kestrum::win32 {

std::optional<platform::HttpReply> WininetHttpClient::get(const std::string& url, std::size_t maxBodyBytes,
                                                          std::chrono::milliseconds timeout) {
    // A session of its own per request: these run on several threads at once. The
    // agent is the title, as kestrum.exe's own probe gives it.
    UniqueHinternet session(
        ::InternetOpenW(Widen(platform::kAppTitle).c_str(), INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0));
    if (!session) return std::nullopt;
    DWORD ms = static_cast<DWORD>(std::clamp<long long>(timeout.count(), 1, 0x7FFFFFFF));
    for (const DWORD option : {INTERNET_OPTION_CONNECT_TIMEOUT, INTERNET_OPTION_SEND_TIMEOUT,
                               INTERNET_OPTION_RECEIVE_TIMEOUT})
        ::InternetSetOptionW(session.get(), option, &ms, sizeof ms);

    const DWORD flags = INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE | INTERNET_FLAG_PRAGMA_NOCACHE |
                        INTERNET_FLAG_NO_UI | INTERNET_FLAG_NO_COOKIES;
    UniqueHinternet request(::InternetOpenUrlW(session.get(), Widen(url).c_str(), nullptr, 0, flags, 0));
    if (!request) return std::nullopt;
    DWORD status = 0, size = sizeof status;
    if (!::HttpQueryInfoW(request.get(), HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER, &status, &size, nullptr))
        return std::nullopt;

    platform::HttpReply reply{static_cast<int>(status), {}};
    char buffer[1024];
    while (reply.body.size() < maxBodyBytes) {
        const auto want = static_cast<DWORD>(std::min(sizeof buffer, maxBodyBytes - reply.body.size()));
        DWORD got = 0;
        if (!::InternetReadFile(request.get(), buffer, want, &got)) return std::nullopt;
        if (got == 0) break;
        reply.body.append(buffer, got);
    }
    return reply;
}

}  // namespace kestrum::win32
