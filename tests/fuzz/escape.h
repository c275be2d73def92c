#pragma once
// Failing fuzz inputs written so they can be read.

#include <cstdio>
#include <string>
#include <string_view>

namespace kestrum::fuzzing {

// Non-printable bytes (and the backslash) as \xNN.
inline std::string Escape(std::string_view text) {
    std::string out;
    for (unsigned char c : text) {
        char buffer[8];
        std::snprintf(buffer, sizeof buffer, c >= 0x20 && c < 0x7F && c != '\\' ? "%c" : "\\x%02X", c);
        out += buffer;
    }
    return out;
}

}  // namespace kestrum::fuzzing
