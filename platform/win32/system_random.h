#pragma once
// The operating system's cryptographic random numbers.

#include "platform/public_address_sources.h"

namespace kestrum::win32 {

class SystemRandom : public platform::RandomSource {
public:
    bool fill(std::span<std::uint8_t> bytes) override;
};

}  // namespace kestrum::win32
