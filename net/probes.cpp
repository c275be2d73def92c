#include "net/probes.h"

#include "platform/identity.h"

namespace kestrum::net {

namespace {
constexpr unsigned kPreconfiguredProxy = 0;  // INTERNET_OPEN_TYPE_PRECONFIG
constexpr unsigned kSynchronous = 0;
// INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE | INTERNET_FLAG_KEEP_CONNECTION:
// always from the network, never into the cache, connection kept alive.
constexpr unsigned kFetchFlags = 0x84400000;
constexpr unsigned kMaxHops = 20;
}  // namespace

bool IsOnline(platform::Internet& internet) {
    // Both handles are closed on the way out, the request before its session.
    const platform::OwnedInternetHandle session(internet,
                                                internet.open(platform::kAppTitle, kPreconfiguredProxy, kSynchronous));
    if (!session) return false;
    const platform::OwnedInternetHandle request(internet,
                                                internet.openUrl(session.get(), kOnlineProbeUrl, kFetchFlags));
    return static_cast<bool>(request);  // any answer counts, an error page included
}

bool IsReachable(platform::HopProbe& probe, const std::string& address) {
    // A text that does not parse gives the all-ones address, which is probed as is.
    return probe.rttAndHopCount(probe.inetAddr(address), kMaxHops) == 1;
}

}  // namespace kestrum::net
