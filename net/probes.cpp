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
    bool online = false;
    const platform::InternetHandle session = internet.open(platform::kAppTitle, kPreconfiguredProxy, kSynchronous);
    if (session) {
        const platform::InternetHandle request = internet.openUrl(session, kOnlineProbeUrl, kFetchFlags);
        if (request) {
            online = true;  // any answer counts, an error page included
            internet.close(request);
        }
        internet.close(session);
    }
    return online;
}

bool IsReachable(platform::HopProbe& probe, const std::string& address) {
    // A text that does not parse gives the all-ones address, which is probed as is.
    return probe.rttAndHopCount(probe.inetAddr(address), kMaxHops) == 1;
}

}  // namespace kestrum::net
