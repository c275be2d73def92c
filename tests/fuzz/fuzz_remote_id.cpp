// Fuzzes the remote ID shape test against an independent reading: split the
// text at every "-" and count the pieces, empty ones included.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "remote/remote_id.h"
#include "tests/fuzz/escape.h"

namespace {

using kestrum::fuzzing::Escape;

std::vector<std::string_view> SplitAtDashes(std::string_view text) {
    std::vector<std::string_view> parts;
    while (true) {
        const std::size_t dash = text.find('-');
        parts.push_back(text.substr(0, dash));
        if (dash == std::string_view::npos) return parts;
        text.remove_prefix(dash + 1);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view id(reinterpret_cast<const char*>(data), size);
    const bool expected = SplitAtDashes(id).size() == 4;
    if (kestrum::remote::HasFourParts(id) != expected) {
        std::fprintf(stderr, "HasFourParts(\"%s\") is %d, the split says %d\n", Escape(id).c_str(), !expected,
                     expected);
        std::abort();
    }
    return 0;
}
