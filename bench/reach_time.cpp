// How long the Connection Check's work takes against the home router of the bench
// script: all the findings (both families asked at once), and the IPv6 door opened
// and closed. Run in this computer's namespace of scripts/router-namespace.sh.
// Prints the minimum, median and maximum of each over RUNS; asserts nothing.
// Usage: reach_time [RUNS]

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "platform/win32/local_addresses.h"
#include "platform/win32/registry.h"
#include "platform/win32/router_link.h"
#include "platform/win32/settings.h"
#include "reach/observe.h"
#include "reach/pinhole.h"

namespace {

using namespace kestrum;
using Clock = std::chrono::steady_clock;

double MsSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// Prints the figures of one step, and in how many runs it did its work.
void Print(const char* what, std::vector<double> ms, int worked) {
    std::sort(ms.begin(), ms.end());
    std::printf("%-28s min %7.1f  median %7.1f  max %7.1f ms  (%d of %zu worked)\n", what, ms.front(),
                ms[ms.size() / 2], ms.back(), worked, ms.size());
}

}  // namespace

int main(int argc, char** argv) {
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 9;
    win32::Win32Registry registry;
    win32::RegistrySettings settings;
    win32::WinsockRouterLink link;
    win32::SystemLocalAddresses local;
    reach::Pinhole pinhole({link, local, settings});
    std::vector<double> found, opened, closed;
    int foundAll = 0, opens = 0, closes = 0;
    for (int i = 0; i < runs; ++i) {
        auto start = Clock::now();
        const reach::Observations seen = reach::Observe({registry, settings, link, local, pinhole});
        found.push_back(MsSince(start));
        foundAll += seen.mappings.has_value() && seen.firewall.has_value();
        start = Clock::now();
        opens += pinhole.Open().done;
        opened.push_back(MsSince(start));
        start = Clock::now();
        closes += pinhole.Close();
        closed.push_back(MsSince(start));
    }
    Print("all findings", found, foundAll);
    Print("IPv6 door opened", opened, opens);
    Print("IPv6 door closed", closed, closes);
    return 0;
}
