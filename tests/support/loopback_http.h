#pragma once
// A small HTTP server on 127.0.0.1 for tests under Wine: it plays both the web and
// the proxy that the Internet settings point at, so nothing leaves the machine.

#include <winsock2.h>

#include <atomic>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace kestrum::testsupport {

struct HttpRequest {
    std::string method, target, headers;  // through a proxy, target is the absolute URL
};

struct HttpResponse {
    int status = 200;
    std::string body;
    bool hang = false;  // accept the request and never answer
};

class LoopbackHttpServer {
public:
    // On the given loopback port, or on any free one.
    explicit LoopbackHttpServer(std::function<HttpResponse(const HttpRequest&)> handler, unsigned short port = 0);
    ~LoopbackHttpServer();  // within 100 ms, whatever the peers do

    unsigned short port() const { return port_; }
    std::vector<HttpRequest> requests() const;

private:
    void answer(SOCKET client);

    std::function<HttpResponse(const HttpRequest&)> handler_;
    unsigned short port_ = 0;  // before listener_, which sets it
    SOCKET listener_ = INVALID_SOCKET;
    std::atomic<bool> stopping_{false};
    mutable std::mutex mutex_;
    std::vector<HttpRequest> requests_;
    std::vector<SOCKET> hanging_;  // only the server thread adds to it
    std::thread thread_;
};

// Points this user's Internet settings (which WinINet reads) at a proxy on
// 127.0.0.1:port, or turns the proxy off with port 0; WinINet is told to reload.
void UseLoopbackProxy(unsigned short port);

// A socket that listens on the address (IPv4 or IPv6) and port (0: any, which it then holds), accepting
// connections without a word; INVALID_SOCKET when it cannot.
SOCKET Listen(const char* host, unsigned short& port);

// A loopback port on which nothing listens.
unsigned short ClosedLoopbackPort();

}  // namespace kestrum::testsupport
