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
    std::string method;
    std::string target;  // through a proxy, the absolute URL
    std::string headers;
};

struct HttpResponse {
    int status = 200;
    std::string body;
    bool hang = false;  // accept the request and never answer
};

class LoopbackHttpServer {
public:
    using Handler = std::function<HttpResponse(const HttpRequest&)>;
    explicit LoopbackHttpServer(Handler handler);
    ~LoopbackHttpServer();
    LoopbackHttpServer(const LoopbackHttpServer&) = delete;
    LoopbackHttpServer& operator=(const LoopbackHttpServer&) = delete;

    unsigned short port() const { return port_; }
    std::vector<HttpRequest> requests() const;

private:
    void serve();
    void answer(SOCKET client);

    Handler handler_;
    SOCKET listener_ = INVALID_SOCKET;
    unsigned short port_ = 0;
    std::atomic<bool> stopping_{false};
    std::thread thread_;
    mutable std::mutex mutex_;
    std::vector<HttpRequest> requests_;
    std::vector<SOCKET> hanging_;  // only the server thread adds to it
};

// Points this user's Internet settings (which WinINet reads) at a proxy on
// 127.0.0.1:port, or turns the proxy off with port 0; WinINet is told to reload.
void UseLoopbackProxy(unsigned short port);

// A loopback port on which nothing listens.
unsigned short ClosedLoopbackPort();

}  // namespace kestrum::testsupport
