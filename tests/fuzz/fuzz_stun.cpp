// A STUN answer is whatever arrives on the socket: reading it never overruns,
// and an answer accepted is a Binding success for our transaction.

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "ipexe/stun.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace kestrum::ipexe;
    const TransactionId ours{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12};
    // Without a well-formed header the fuzzer would hardly reach the attributes:
    // the first byte chooses between the raw input and our header in front of it.
    std::vector<std::uint8_t> message(data, data + size);
    if (size > 0 && (data[0] & 1)) {
        message = EncodeBindingRequest(ours);
        message[1] = 0x01;  // success
        const std::size_t length = size - 1;
        message[2] = static_cast<std::uint8_t>(length >> 8);
        message[3] = static_cast<std::uint8_t>(length);
        message.insert(message.end(), data + 1, data + size);
    }
    if (!ParseBindingResponse(message, ours)) return 0;
    const bool header = message.size() >= 20 && message[0] == 0x01 && message[1] == 0x01 &&
                        std::equal(ours.begin(), ours.end(), message.begin() + 8);
    if (!header) std::abort();
    return 0;
}
