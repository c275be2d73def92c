// The ID codec on any text: it never fails, and on a plain address it is the
// whole-number translation both ways.

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "net/codec.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    const std::string id = kestrum::net::IPToID(text);
    kestrum::net::IDToIP(text);
    kestrum::net::IDToIP(id);

    // A plain address "a.b.c.d": numbers 0 to 255 written without signs, blanks or zeros in front.
    unsigned part[4];
    if (std::sscanf(text.c_str(), "%3u.%3u.%3u.%3u", &part[0], &part[1], &part[2], &part[3]) != 4 || part[0] > 255 ||
        part[1] > 255 || part[2] > 255 || part[3] > 255 ||
        text != std::to_string(part[0]) + "." + std::to_string(part[1]) + "." + std::to_string(part[2]) + "." +
                    std::to_string(part[3]))
        return 0;
    const std::string expected = std::to_string(part[0] + 13) + "-" + std::to_string(part[1] + 25) + "-" +
                                 std::to_string(part[2] + 36) + "-" + std::to_string(part[3] + 17);
    if (id != expected || kestrum::net::IDToIP(id) != text) {
        std::fprintf(stderr, "\"%s\" -> \"%s\", expected \"%s\"\n", text.c_str(), id.c_str(), expected.c_str());
        std::abort();
    }
    return 0;
}
