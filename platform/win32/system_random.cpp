// rand_s is declared only with this, before the first C runtime header.
#define _CRT_RAND_S  // NOLINT(bugprone-reserved-identifier): the C runtime's own switch
#include <stdlib.h>

#include "platform/win32/system_random.h"

namespace kestrum::win32 {

bool SystemRandom::fill(std::span<std::uint8_t> bytes) {
    // rand_s draws on RtlGenRandom, not on the seeded rand() sequence.
    for (std::size_t at = 0; at < bytes.size(); at += sizeof(unsigned int)) {
        unsigned int value = 0;
        if (::rand_s(&value) != 0) return false;
        for (std::size_t i = 0; i < sizeof value && at + i < bytes.size(); ++i)
            bytes[at + i] = static_cast<std::uint8_t>(value >> (8 * i));
    }
    return true;
}

}  // namespace kestrum::win32
