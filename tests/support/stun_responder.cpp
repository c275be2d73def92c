#include "tests/support/stun_responder.h"

#include "tests/support/winsock_session.h"

namespace kestrum::testsupport {

namespace {

SOCKET BindUdpLoopback(unsigned short& port) {
    static WinsockSession winsock;
    SOCKET s = ::socket(AF_INET, SOCK_DGRAM, IPPROTO_UDP);
    if (s == INVALID_SOCKET) return s;
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    int length = sizeof address;
    if (::bind(s, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        ::getsockname(s, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
        ::closesocket(s);
        return INVALID_SOCKET;
    }
    port = ntohs(address.sin_port);
    return s;
}

void Put16(std::vector<std::uint8_t>& out, unsigned value) {
    out.push_back(static_cast<std::uint8_t>(value >> 8));
    out.push_back(static_cast<std::uint8_t>(value));
}

}  // namespace

StunResponder::StunResponder(Mode mode, std::array<std::uint8_t, 4> address) : mode_(mode), address_(address) {
    socket_ = BindUdpLoopback(port_);
    if (socket_ != INVALID_SOCKET) thread_ = std::thread([this] { serve(); });
}

StunResponder::~StunResponder() {
    stopping_ = true;
    if (thread_.joinable()) thread_.join();
    if (socket_ != INVALID_SOCKET) ::closesocket(socket_);
}

std::vector<std::vector<std::uint8_t>> StunResponder::requests() const {
    std::lock_guard lock(mutex_);
    return requests_;
}

void StunResponder::serve() {
    while (!stopping_) {
        fd_set readable;
        FD_ZERO(&readable);
        FD_SET(socket_, &readable);
        timeval wait{0, 50 * 1000};
        if (::select(0, &readable, nullptr, nullptr, &wait) <= 0) continue;
        std::vector<std::uint8_t> request(2048);
        sockaddr_in from{};
        int fromLength = sizeof from;
        const int got = ::recvfrom(socket_, reinterpret_cast<char*>(request.data()), static_cast<int>(request.size()),
                                   0, reinterpret_cast<sockaddr*>(&from), &fromLength);
        if (got < 0) continue;
        request.resize(static_cast<std::size_t>(got));
        {
            std::lock_guard lock(mutex_);
            requests_.push_back(request);
        }
        const auto answer = reply(request, from);
        if (!answer.empty())
            ::sendto(socket_, reinterpret_cast<const char*>(answer.data()), static_cast<int>(answer.size()), 0,
                     reinterpret_cast<const sockaddr*>(&from), fromLength);
    }
}

std::vector<std::uint8_t> StunResponder::reply(const std::vector<std::uint8_t>& request,
                                               const sockaddr_in& from) const {
    if (mode_ == Mode::Silent || request.size() < 20) return {};
    if (mode_ == Mode::Garbage) return {0x01, 0x01, 0x00, 0x40, 0xde, 0xad, 0xbe, 0xef, 0x00, 0xff};
    // Binding success, 12 bytes of attributes, the request's cookie and transaction.
    std::vector<std::uint8_t> out = {0x01, 0x01, 0x00, 0x0c};
    out.insert(out.end(), request.begin() + 4, request.begin() + 20);
    if (mode_ == Mode::WrongTransaction) out[19] ^= 0x5a;
    // XOR-MAPPED-ADDRESS: IPv4, port and address masked with the magic cookie.
    Put16(out, 0x0020);
    Put16(out, 8);
    Put16(out, 0x0001);
    Put16(out, ntohs(from.sin_port) ^ 0x2112u);
    const std::uint8_t cookie[4] = {0x21, 0x12, 0xa4, 0x42};
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<std::uint8_t>(address_[i] ^ cookie[i]));
    return out;
}

unsigned short ClosedUdpLoopbackPort() {
    unsigned short port = 0;
    ::closesocket(BindUdpLoopback(port));  // nothing listens there any more
    return port;
}

}  // namespace kestrum::testsupport
