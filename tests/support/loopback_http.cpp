#include "tests/support/loopback_http.h"

#include "tests/support/winsock_session.h"

#include <wininet.h>
#include <ws2tcpip.h>

#include <cstdio>

namespace kestrum::testsupport {

namespace {

SOCKET ListenOnLoopback(unsigned short& port) {
    SOCKET s = ::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    if (s == INVALID_SOCKET) return s;
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    int length = sizeof address;
    if (::bind(s, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 || ::listen(s, 16) != 0 ||
        ::getsockname(s, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
        ::closesocket(s);
        return INVALID_SOCKET;
    }
    port = ntohs(address.sin_port);
    return s;
}

const char* Reason(int status) {
    switch (status) {
        case 200: return "OK";
        case 204: return "No Content";
        case 404: return "Not Found";
        case 500: return "Internal Server Error";
        case 503: return "Service Unavailable";
        default: return "Status";
    }
}

}  // namespace

LoopbackHttpServer::LoopbackHttpServer(Handler handler) : handler_(std::move(handler)) {
    static WinsockSession winsock;
    listener_ = ListenOnLoopback(port_);
    if (listener_ != INVALID_SOCKET) thread_ = std::thread([this] { serve(); });
}

LoopbackHttpServer::~LoopbackHttpServer() {
    stopping_ = true;
    if (listener_ != INVALID_SOCKET) ::closesocket(listener_);
    {
        // A client that connected and sent nothing keeps the reader waiting: wake it.
        std::lock_guard lock(mutex_);
        if (reading_ != INVALID_SOCKET) ::shutdown(reading_, SD_BOTH);
    }
    if (thread_.joinable()) thread_.join();
    for (SOCKET s : hanging_) ::closesocket(s);
}

std::vector<HttpRequest> LoopbackHttpServer::requests() const {
    std::lock_guard lock(mutex_);
    return requests_;
}

void LoopbackHttpServer::serve() {
    while (!stopping_) {
        SOCKET client = ::accept(listener_, nullptr, nullptr);
        if (client == INVALID_SOCKET) return;
        {
            std::lock_guard lock(mutex_);
            if (stopping_) {
                ::closesocket(client);
                return;
            }
            reading_ = client;
        }
        answer(client);
    }
}

void LoopbackHttpServer::answer(SOCKET client) {
    std::string data;
    char buffer[4096];
    while (data.find("\r\n\r\n") == std::string::npos && data.size() < 65536) {
        const int got = ::recv(client, buffer, sizeof buffer, 0);
        if (got <= 0) break;
        data.append(buffer, static_cast<size_t>(got));
    }
    {
        std::lock_guard lock(mutex_);
        reading_ = INVALID_SOCKET;
        if (stopping_) {
            ::closesocket(client);
            return;
        }
    }
    HttpRequest request;
    const size_t lineEnd = data.find("\r\n");
    const std::string line = data.substr(0, lineEnd);
    const size_t space1 = line.find(' '), space2 = line.rfind(' ');
    if (space1 != std::string::npos && space2 > space1) {
        request.method = line.substr(0, space1);
        request.target = line.substr(space1 + 1, space2 - space1 - 1);
    }
    if (lineEnd != std::string::npos) request.headers = data.substr(lineEnd + 2);
    {
        std::lock_guard lock(mutex_);
        requests_.push_back(request);
    }
    const HttpResponse response = handler_(request);
    if (response.hang) {
        std::lock_guard lock(mutex_);
        hanging_.push_back(client);
        return;
    }
    char head[256];
    std::snprintf(head, sizeof head,
                  "HTTP/1.1 %d %s\r\nContent-Type: text/plain\r\nContent-Length: %zu\r\nConnection: close\r\n\r\n",
                  response.status, Reason(response.status), response.body.size());
    const std::string reply = head + (request.method == "HEAD" ? std::string() : response.body);
    ::send(client, reply.data(), static_cast<int>(reply.size()), 0);
    ::shutdown(client, SD_SEND);
    ::closesocket(client);
}

void UseLoopbackProxy(unsigned short port) {
    HKEY key;
    if (::RegCreateKeyExW(HKEY_CURRENT_USER, L"Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings", 0,
                          nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr) != ERROR_SUCCESS)
        return;
    const DWORD enable = port ? 1 : 0;
    ::RegSetValueExW(key, L"ProxyEnable", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&enable), sizeof enable);
    const std::wstring server = L"127.0.0.1:" + std::to_wstring(port);
    ::RegSetValueExW(key, L"ProxyServer", 0, REG_SZ, reinterpret_cast<const BYTE*>(server.c_str()),
                     static_cast<DWORD>((server.size() + 1) * sizeof(wchar_t)));
    ::RegCloseKey(key);
    ::InternetSetOptionW(nullptr, INTERNET_OPTION_SETTINGS_CHANGED, nullptr, 0);
    ::InternetSetOptionW(nullptr, INTERNET_OPTION_REFRESH, nullptr, 0);
}

unsigned short ClosedLoopbackPort() {
    static WinsockSession winsock;
    unsigned short port = 0;
    SOCKET s = ListenOnLoopback(port);
    ::closesocket(s);  // nothing listens there any more
    return port;
}

}  // namespace kestrum::testsupport
