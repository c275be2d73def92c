#include "ipexe/discovery.h"

#include <algorithm>
#include <condition_variable>
#include <mutex>
#include <thread>

#include "ipexe/address.h"
#include "ipexe/stun.h"
#include "net/ipv4.h"

namespace kestrum::ipexe {

namespace {

using std::chrono::milliseconds;

// What the race and its source threads share. Built whole, with the count of
// sources, before the first thread starts; each thread holds a share of it.
struct RaceState {
    explicit RaceState(std::size_t sources) : running(sources) {}

    std::mutex mutex;
    std::condition_variable changed;
    std::optional<std::string> winner;
    std::size_t running;

    void finish(std::optional<std::string> answer) {
        std::lock_guard lock(mutex);
        --running;
        if (answer && !winner && IsWellFormedIpv4(*answer)) winner = std::move(answer);
        changed.notify_all();
    }
};

// One source on its own thread; everything it uses is its own.
void RunSource(const std::shared_ptr<RaceState>& state, const SourceContext& context, const Source& source) {
    std::optional<std::string> answer;
    try {
        answer = source(context);
    } catch (...) {
        // A source that fails in any way simply has no answer.
    }
    state->finish(std::move(answer));
}

}  // namespace

milliseconds SourceContext::left() const {
    return std::max(milliseconds(0), std::chrono::ceil<milliseconds>(deadline_ - Clock::now()));
}

std::optional<std::string> Race(std::vector<Source> sources, milliseconds deadline) {
    const auto state = std::make_shared<RaceState>(sources.size());
    const SourceContext context(Clock::now() + deadline);
    for (Source& source : sources) {
        try {
            // The thread's arguments are copies made here, before it runs.
            std::thread(RunSource, state, context, std::move(source)).detach();
        } catch (...) {
            state->finish(std::nullopt);  // no thread: this source has no answer
        }
    }
    std::unique_lock lock(state->mutex);
    state->changed.wait_until(lock, context.deadline(), [&] { return state->winner || state->running == 0; });
    context.stop();
    return state->winner;
}

std::optional<std::string> AskStunServer(platform::UdpNetwork& udp, platform::RandomSource& random,
                                         const HostPort& server, const SourceContext& context,
                                         milliseconds initialTimeout) {
    const auto endpoints = udp.resolve(server.host, server.port);
    if (endpoints.empty() || context.over()) return std::nullopt;
    const auto socket = udp.connect(endpoints.front());
    TransactionId id;
    if (!socket || !random.fill(id)) return std::nullopt;
    const auto request = EncodeBindingRequest(id);

    // Every retransmission carries the same transaction, so an answer to any of
    // them will do.
    for (milliseconds timeout = initialTimeout; !context.over(); timeout *= 2) {
        if (!socket->send(request)) return std::nullopt;
        const auto resend = std::min(Clock::now() + timeout, context.deadline());
        while (!context.stopped() && Clock::now() < resend) {
            const auto wait = std::chrono::ceil<milliseconds>(resend - Clock::now());
            const platform::UdpReceive got = socket->receive(wait);
            if (got.status == platform::UdpReceive::Status::Failed) return std::nullopt;
            if (got.status != platform::UdpReceive::Status::Datagram) continue;
            if (const auto mapped = ParseBindingResponse(got.bytes, id)) return net::FormatIpv4(mapped->address);
        }
    }
    return std::nullopt;
}

std::optional<std::string> AskHttpService(platform::HttpClient& http, const std::string& url,
                                          const SourceContext& context) {
    if (context.over()) return std::nullopt;
    // One byte more than we accept, to tell a body at the limit from a longer one.
    const auto reply = http.get(url, kMaxHttpBody + 1, context.left());
    if (!reply) return std::nullopt;
    return AddressFromHttpReply(*reply);
}

std::optional<std::string> Discover(const Options& options, const Network& network, milliseconds stunInitialTimeout) {
    std::vector<Source> sources;
    sources.reserve(options.stunServers.size() + options.urls.size());
    for (const HostPort& server : options.stunServers) {
        sources.push_back(
            [udp = network.udp, random = network.random, server, stunInitialTimeout](const SourceContext& context) {
                return AskStunServer(*udp, *random, server, context, stunInitialTimeout);
            });
    }
    for (const std::string& url : options.urls) {
        sources.push_back(
            [http = network.http, url](const SourceContext& context) { return AskHttpService(*http, url, context); });
    }
    return Race(std::move(sources), options.deadline);
}

}  // namespace kestrum::ipexe
