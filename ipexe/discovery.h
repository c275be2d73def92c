#pragma once
// Asking every source at once under one deadline; the first well-formed IPv4
// answer wins. Sources run on threads of their own that are never waited for:
// a name lookup or a web request can block past any deadline, so the program
// ends the process, threads and all, once it has its answer or its time is up.
// Whatever a source thread touches it owns a share of, taken before the thread
// starts, so it stays valid however long the thread outlives the race.

#include <atomic>
#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "ipexe/options.h"
#include "platform/udp_http_random.h"

namespace kestrum::ipexe {

using Clock = std::chrono::steady_clock;

// The deadline and the stop flag of one race. Copies share the flag, which each
// copy keeps alive; there is no context without one.
class SourceContext {
public:
    explicit SourceContext(Clock::time_point deadline)
        : deadline_(deadline), stop_(std::make_shared<std::atomic<bool>>(false)) {}
    Clock::time_point deadline() const { return deadline_; }
    bool stopped() const { return stop_->load(); }  // the race is decided
    bool over() const { return stopped() || Clock::now() >= deadline_; }
    std::chrono::milliseconds left() const;
    void stop() const { stop_->store(true); }

private:
    Clock::time_point deadline_;
    std::shared_ptr<std::atomic<bool>> stop_;
};

// A source's answer candidate, or nothing. Called on its own thread.
using Source = std::function<std::optional<std::string>(const SourceContext&)>;

// The first answer that IsWellFormedIpv4 accepts, or nothing when every source
// has given up or the deadline has passed.
std::optional<std::string> Race(std::vector<Source> sources, std::chrono::milliseconds deadline);

struct Network {
    std::shared_ptr<platform::UdpNetwork> udp;
    std::shared_ptr<platform::HttpClient> http;
    std::shared_ptr<platform::RandomSource> random;
};

// RFC 8489's first retransmission timeout; each next one doubles it.
inline constexpr std::chrono::milliseconds kStunInitialTimeout{500};

// One STUN server: a Binding request, sent again at 500, 1500, 3500 ms and so on
// until a valid response or the deadline.
std::optional<std::string> AskStunServer(platform::UdpNetwork& udp, platform::RandomSource& random,
                                         const HostPort& server, const SourceContext& context,
                                         std::chrono::milliseconds initialTimeout = kStunInitialTimeout);

std::optional<std::string> AskHttpService(platform::HttpClient& http, const std::string& url,
                                          const SourceContext& context);

// Every STUN server and URL of the options, raced.
std::optional<std::string> Discover(const Options& options, const Network& network,
                                    std::chrono::milliseconds stunInitialTimeout = kStunInitialTimeout);

}  // namespace kestrum::ipexe
