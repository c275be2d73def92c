#pragma once
// A STUN server of the tests' own on 127.0.0.1 (UDP): it answers Binding requests
// with a chosen address, or answers wrongly, or not at all.

#include <winsock2.h>

#include <array>
#include <atomic>
#include <cstdint>
#include <mutex>
#include <thread>
#include <vector>

namespace kestrum::testsupport {

class StunResponder {
public:
    enum class Mode {
        Answer,            // a Binding success with XOR-MAPPED-ADDRESS
        WrongTransaction,  // the same, for another transaction
        Garbage,           // bytes that are no STUN message
        Silent,            // reads requests, answers nothing
    };
    explicit StunResponder(Mode mode, std::array<std::uint8_t, 4> address = {198, 51, 100, 23});
    ~StunResponder();
    StunResponder(const StunResponder&) = delete;
    StunResponder& operator=(const StunResponder&) = delete;

    unsigned short port() const { return port_; }
    std::vector<std::vector<std::uint8_t>> requests() const;

private:
    void serve();
    std::vector<std::uint8_t> reply(const std::vector<std::uint8_t>& request, const sockaddr_in& from) const;

    Mode mode_;
    std::array<std::uint8_t, 4> address_;
    SOCKET socket_ = INVALID_SOCKET;
    unsigned short port_ = 0;
    std::atomic<bool> stopping_{false};
    std::thread thread_;
    mutable std::mutex mutex_;
    std::vector<std::vector<std::uint8_t>> requests_;
};

// A loopback UDP port on which nothing listens.
unsigned short ClosedUdpLoopbackPort();

}  // namespace kestrum::testsupport
