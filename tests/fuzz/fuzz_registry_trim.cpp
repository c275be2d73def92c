// Fuzzes GetKeyValue, the registry read behind System Information, with a
// registry that answers whatever the input says: any status, type and size,
// sizes beyond the buffer and beyond what was written included. A reference
// reading here says what must come of it:
// - the key is opened for reading, the whole 1024-byte buffer is offered, and
//   an opened key is closed exactly once on every path;
// - a failed open or query gives false and the empty text;
// - a size of 0 throws EmptyRegistryValue and leaves the text alone;
// - otherwise of the first min(size, 1024) bytes the last is dropped if it is
//   zero; a text value is those bytes, a number the decimal of the first four
//   of them (little-endian, fewer if fewer are left), any other type leaves the
//   text alone; and the answer is true.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

#include "info/StartSysInfo.h"

namespace {

using kestrum::info::EmptyRegistryValue;
using kestrum::info::GetKeyValue;
namespace platform = kestrum::platform;

constexpr std::size_t kBuffer = 1024;
const std::string kBefore = "before";

[[noreturn]] void Fail(const char* what) {
    std::fprintf(stderr, "GetKeyValue: %s\n", what);
    std::abort();
}

struct Answer {
    bool openFails = false;
    long status = 0;
    std::uint32_t type = 0;
    std::uint32_t size = 0;
    std::vector<std::uint8_t> written;  // at most what was offered
};

class ScriptedRegistry : public platform::Registry {
public:
    explicit ScriptedRegistry(const Answer& answer) : answer_(answer) {}
    long openKey(platform::RegistryRoot, const std::string&, unsigned access, platform::RegistryKey& key) override {
        if (access != platform::kKeyRead) Fail("the key is not opened for reading only");
        if (answer_.openFails) return 5;  // ERROR_ACCESS_DENIED
        key = 0x1234;
        ++opened;
        return 0;
    }
    long queryValue(platform::RegistryKey key, const std::string&, std::uint32_t& type,
                    std::vector<std::uint8_t>& data, std::uint32_t& size) override {
        if (key != 0x1234 || opened != 1 || closed != 0) Fail("query on a key that is not open");
        if (data.size() != kBuffer || size != kBuffer) Fail("the whole buffer is not offered");
        std::copy(answer_.written.begin(), answer_.written.end(), data.begin());
        type = answer_.type;
        size = answer_.size;
        return answer_.status;
    }
    long closeKey(platform::RegistryKey key) override {
        if (key != 0x1234) Fail("a key closed that was never opened");
        ++closed;
        return 0;
    }
    int opened = 0;
    int closed = 0;

private:
    const Answer& answer_;
};

struct Outcome {
    bool threw = false;
    bool found = false;
    std::string text;
};

Outcome Reference(const Answer& a) {
    if (a.openFails || a.status != 0) return {false, false, ""};
    if (a.size == 0) return {true, false, kBefore};
    std::vector<std::uint8_t> buffer(kBuffer, 0);
    std::copy(a.written.begin(), a.written.end(), buffer.begin());
    std::size_t n = a.size < kBuffer ? a.size : kBuffer;
    if (buffer[n - 1] == 0) n = n - 1;
    if (a.type == platform::kRegSz) return {false, true, std::string(buffer.begin(), buffer.begin() + n)};
    if (a.type == platform::kRegDword) {
        unsigned long long number = 0, weight = 1;
        for (std::size_t i = 0; i < n && i < 4; ++i, weight *= 256) number += buffer[i] * weight;
        return {false, true, std::to_string(number)};
    }
    return {false, true, kBefore};
}

}  // namespace

// Input: flags (bit 0: the open fails; bits 1-2: success, more data, not
// found, success), the type (0 text, 1 number, else that number itself), the
// size in two bytes (or 0xFFFFFFFF when flag bit 3 is set), then the bytes
// written into the buffer.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 4) return 0;
    Answer answer;
    answer.openFails = data[0] & 1;
    constexpr long kStatuses[4] = {0, platform::kErrorMoreData, 2, 0};
    answer.status = kStatuses[(data[0] >> 1) & 3];
    answer.type = data[1] == 0 ? platform::kRegSz : data[1] == 1 ? platform::kRegDword : data[1];
    answer.size = (data[0] & 8) ? 0xFFFFFFFFu : static_cast<std::uint32_t>(data[2] | data[3] << 8);
    answer.written.assign(data + 4, data + std::min(size, 4 + kBuffer));

    ScriptedRegistry registry(answer);
    Outcome got{false, false, kBefore};
    try {
        got.found = GetKeyValue(registry, platform::RegistryRoot::LocalMachine, "SOFTWARE\\Kestrum", "V", got.text);
    } catch (const EmptyRegistryValue&) {
        got.threw = true;
    }

    const Outcome expected = Reference(answer);
    if (got.threw != expected.threw) Fail(expected.threw ? "no throw for a value of no bytes" : "threw");
    if (got.found != expected.found) Fail(expected.found ? "a read value reported missing" : "found nothing as found");
    if (got.text != expected.text) {
        std::fprintf(stderr, "text of %zu bytes where the reference has %zu\n", got.text.size(), expected.text.size());
        Fail("the text differs from the reference");
    }
    if (registry.closed != registry.opened) Fail("an opened key is not closed exactly once");
    return 0;
}
