#include "tests/support/loopback_http.h"

#include <ws2tcpip.h>

#include <cstring>

#include <wininet.h>

namespace kestrum::testsupport {

SOCKET Listen(const char* host, unsigned short& port) {
    static WSADATA data;
    static const bool started = ::WSAStartup(MAKEWORD(2, 2), &data) == 0;  // for the whole test run
    sockaddr_in6 address{};  // an IPv4 address and port lie where an IPv6 one's family and port do
    const bool v6 = std::strchr(host, ':') != nullptr;
    address.sin6_family = v6 ? AF_INET6 : AF_INET;
    address.sin6_port = htons(port);
    int length = v6 ? sizeof(sockaddr_in6) : sizeof(sockaddr_in);
    const bool parsed = v6 ? ::inet_pton(AF_INET6, host, &address.sin6_addr) == 1
                           : ::inet_pton(AF_INET, host, &reinterpret_cast<sockaddr_in&>(address).sin_addr) == 1;
    SOCKET s = started && parsed ? ::socket(address.sin6_family, SOCK_STREAM, IPPROTO_TCP) : INVALID_SOCKET;
    if (s != INVALID_SOCKET && (::bind(s, reinterpret_cast<sockaddr*>(&address), length) != 0 || ::listen(s, 16) != 0 ||
                                ::getsockname(s, reinterpret_cast<sockaddr*>(&address), &length) != 0)) {
        ::closesocket(s);
        return INVALID_SOCKET;
    }
    port = ntohs(address.sin6_port);
    return s;
}

namespace {

// Waits at most 100 ms for the socket to become readable, so that the server
// thread looks at its stop flag often and never blocks on a peer.
bool Readable(SOCKET s) {
    fd_set set;
    FD_ZERO(&set);
    FD_SET(s, &set);
    timeval wait{0, 100000};
    return ::select(0, &set, nullptr, nullptr, &wait) == 1;
}

}  // namespace

LoopbackHttpServer::LoopbackHttpServer(std::function<HttpResponse(const HttpRequest&)> handler, unsigned short port)
    : handler_(std::move(handler)), port_(port), listener_(Listen("127.0.0.1", port_)) {
    thread_ = std::thread([this] {
        while (listener_ != INVALID_SOCKET && !stopping_) {
            if (!Readable(listener_)) continue;
            const SOCKET client = ::accept(listener_, nullptr, nullptr);
            if (client != INVALID_SOCKET) answer(client);
        }
    });
}

LoopbackHttpServer::~LoopbackHttpServer() {
    stopping_ = true;
    thread_.join();  // within one 100 ms poll
    ::closesocket(listener_);
    for (SOCKET s : hanging_) ::closesocket(s);
}

std::vector<HttpRequest> LoopbackHttpServer::requests() const {
    std::lock_guard lock(mutex_);
    return requests_;
}

void LoopbackHttpServer::answer(SOCKET client) {
    // WinINet opens connections ahead and may never send a request on one:
    // a request is read for at most 5 s, and only while the server runs.
    std::string data;
    char buffer[4096];
    for (int polls = 0; polls < 50 && !stopping_ && data.find("\r\n\r\n") == std::string::npos; ++polls) {
        if (!Readable(client)) continue;
        const int got = ::recv(client, buffer, sizeof buffer, 0);
        if (got <= 0) break;
        data.append(buffer, static_cast<size_t>(got));
    }
    // A peer that closes without a whole request (a port probe, say) is not answered.
    const size_t end = data.find("\r\n\r\n"), space1 = data.find(' '), space2 = data.find(' ', space1 + 1);
    const bool whole = end != std::string::npos && space2 < end;
    const HttpRequest request = whole
                                    ? HttpRequest{data.substr(0, space1), data.substr(space1 + 1, space2 - space1 - 1),
                                                  data.substr(data.find("\r\n") + 2)}
                                    : HttpRequest{};
    const HttpResponse response = whole ? handler_(request) : HttpResponse{0, "", false};
    if (response.status) {
        std::lock_guard lock(mutex_);
        requests_.push_back(request);
    }
    if (response.hang) {
        hanging_.push_back(client);  // closed when the server stops
        return;
    }
    const std::string reply = "HTTP/1.1 " + std::to_string(response.status) +
                              " Status\r\nContent-Length: " + std::to_string(response.body.size()) +
                              "\r\nConnection: close\r\n\r\n" + (request.method == "HEAD" ? "" : response.body);
    if (response.status) ::send(client, reply.data(), static_cast<int>(reply.size()), 0);
    ::shutdown(client, SD_SEND);
    ::closesocket(client);
}

void UseLoopbackProxy(unsigned short port) {
    const wchar_t kKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings";
    const DWORD enable = port ? 1 : 0;
    const std::wstring server = L"127.0.0.1:" + std::to_wstring(port);
    ::RegSetKeyValueW(HKEY_CURRENT_USER, kKey, L"ProxyEnable", REG_DWORD, &enable, sizeof enable);
    ::RegSetKeyValueW(HKEY_CURRENT_USER, kKey, L"ProxyServer", REG_SZ, server.c_str(),
                      static_cast<DWORD>((server.size() + 1) * sizeof(wchar_t)));
    ::InternetSetOptionW(nullptr, INTERNET_OPTION_SETTINGS_CHANGED, nullptr, 0);
    ::InternetSetOptionW(nullptr, INTERNET_OPTION_REFRESH, nullptr, 0);
}

unsigned short ClosedLoopbackPort() {
    unsigned short port = 0;
    ::closesocket(Listen("127.0.0.1", port));  // nothing listens there any more
    return port;
}

}  // namespace kestrum::testsupport
