// Fuzzes the ID codec both ways and holds it against readings of its own:
// - ReadNumber against a plain reference of the reading rule, wherever that
//   reference can tell the exact double;
// - IPToID / IDToIP against the same translation put together here from an
//   independent split into parts;
// - the round trip IDToIP(IPToID(a)) == a for every valid address a, with the
//   ID itself worked out in whole numbers.

#include <cerrno>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "net/codec.h"
#include "tests/fuzz/escape.h"

namespace {

using kestrum::net::IDToIP;
using kestrum::net::IPToID;
using kestrum::net::ReadNumber;
using kestrum::net::WriteNumber;

constexpr int kOffsets[4] = {13, 25, 36, 17};

using kestrum::fuzzing::Escape;

[[noreturn]] void Fail(const char* what, std::string_view input, const std::string& got,
                       const std::string& expected) {
    std::fprintf(stderr, "%s\n  input:    \"%s\"\n  got:      \"%s\"\n  expected: \"%s\"\n", what,
                 Escape(input).c_str(), Escape(got).c_str(), Escape(expected).c_str());
    std::abort();
}

std::string Show(double value) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.17g", value);
    return buffer;
}

// ---- The reading rule, written out plainly ---------------------------------

int DigitValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return 99;
}

// "&H" / "&O": exact whole numbers up to 128 bits, converted to double with
// the compiler's correctly rounded conversion; beyond 1024 bits the value
// does not fit a double and reads 0. In between the reference gives up.
std::optional<double> ReferenceBased(std::string_view digitsAndMore, int base) {
    std::string digits;
    for (char c : digitsAndMore) {
        if (DigitValue(c) >= base) break;
        if (digits.empty() && c == '0') continue;  // leading zeros add nothing
        digits += c;
    }
    if (digits.empty()) return 0.0;
    const int bitsPerDigit = base == 16 ? 4 : 3;
    int topBits = 0;
    for (int d = DigitValue(digits[0]); d > 0; d >>= 1) ++topBits;
    const long long bits = topBits + static_cast<long long>(bitsPerDigit) * (digits.size() - 1);
    if (bits > 1024) return 0.0;
    if (bits > 128) return std::nullopt;
    unsigned __int128 value = 0;
    for (char c : digits) value = value * static_cast<unsigned>(base) + static_cast<unsigned>(DigitValue(c));
    return static_cast<double>(value);
}

// Sign, digits with at most one point, an exponent that counts only with
// digits; converted by the C library, which overflows to infinity (that reads
// 0) and underflows with ERANGE (where the reference gives up).
std::optional<double> ReferenceDecimal(std::string_view s) {
    std::size_t at = 0;
    auto takeDigits = [&] {
        std::string run;
        while (at < s.size() && s[at] >= '0' && s[at] <= '9') run += s[at++];
        return run;
    };
    bool negative = false;
    if (at < s.size() && (s[at] == '-' || s[at] == '+')) negative = s[at++] == '-';
    const std::string whole = takeDigits();
    std::string fraction;
    if (at < s.size() && s[at] == '.') {
        ++at;
        fraction = takeDigits();
    }
    if (whole.empty() && fraction.empty()) return 0.0;

    std::string exponent;
    if (at < s.size() && (s[at] == 'E' || s[at] == 'e' || s[at] == 'D' || s[at] == 'd')) {
        ++at;
        std::string sign;
        if (at < s.size() && (s[at] == '-' || s[at] == '+')) sign = s[at++];
        const std::string expDigits = takeDigits();
        if (!expDigits.empty()) exponent = "e" + sign + expDigits;
    }
    const std::string text = (whole.empty() ? "0" : whole) + "." + fraction + exponent;
    errno = 0;
    const double value = std::strtod(text.c_str(), nullptr);
    if (errno == ERANGE) {
        if (!std::isinf(value)) return std::nullopt;
        return 0.0;
    }
    return negative ? -value : value;
}

std::optional<double> ReferenceRead(std::string_view part) {
    std::string s;
    for (char c : part)
        if (c != ' ' && c != '\t' && c != '\n') s += c;
    if (s.size() >= 2 && s[0] == '&') {
        if (s[1] == 'H' || s[1] == 'h') return ReferenceBased(std::string_view(s).substr(2), 16);
        if (s[1] == 'O' || s[1] == 'o') return ReferenceBased(std::string_view(s).substr(2), 8);
        return 0.0;
    }
    return ReferenceDecimal(s);
}

void CheckRead(std::string_view part) {
    const std::optional<double> expected = ReferenceRead(part);
    if (!expected) return;
    const double got = ReadNumber(part);
    if (!(got == *expected)) Fail("ReadNumber differs from the reference", part, Show(got), Show(*expected));
}

// ---- Translation, put together from an independent split -------------------

std::vector<std::string> Split(std::string_view text, char separator) {
    std::vector<std::string> parts(1);
    for (char c : text) {
        if (c == separator)
            parts.emplace_back();
        else
            parts.back() += c;
    }
    return parts;
}

std::string ReferenceTranslate(std::string_view text, char from, char to, int sign, const char* decimal) {
    const std::vector<std::string> parts = Split(text, from);
    if (text.empty() || parts.size() < 4) return "";
    std::string result;
    for (int k = 0; k < 4; ++k) {
        if (k > 0) result += to;
        result += WriteNumber(ReadNumber(parts[k]) + sign * kOffsets[k], decimal);
    }
    return result;
}

// ---- Valid addresses -------------------------------------------------------

// Four whole numbers 0-255 between points, no sign, no blanks, no leading zeros.
std::optional<std::vector<int>> ValidOctets(std::string_view text) {
    const std::vector<std::string> parts = Split(text, '.');
    if (parts.size() != 4) return std::nullopt;
    std::vector<int> octets;
    for (const std::string& part : parts) {
        if (part.empty() || part.size() > 3 || (part[0] == '0' && part.size() > 1)) return std::nullopt;
        int value = 0;
        for (char c : part) {
            if (c < '0' || c > '9') return std::nullopt;
            value = value * 10 + (c - '0');
        }
        if (value > 255) return std::nullopt;
        octets.push_back(value);
    }
    return octets;
}

void CheckRoundTrip(std::string_view address, const std::vector<int>& octets) {
    std::string expectedId;
    for (int k = 0; k < 4; ++k) expectedId += (k ? "-" : "") + std::to_string(octets[k] + kOffsets[k]);
    for (const char* decimal : {".", ","}) {
        const std::string id = IPToID(address, decimal);
        if (id != expectedId) Fail("IPToID of a valid address", address, id, expectedId);
        const std::string back = IDToIP(id, decimal);
        if (back != address) Fail("IDToIP(IPToID(a)) != a", address, back, std::string(address));
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);

    CheckRead(text);
    for (const std::string& part : Split(text, '-')) CheckRead(part);

    for (const char* decimal : {".", ","}) {
        std::string got = IPToID(text, decimal);
        std::string expected = ReferenceTranslate(text, '.', '-', +1, decimal);
        if (got != expected) Fail("IPToID differs from the part-by-part reading", text, got, expected);
        got = IDToIP(text, decimal);
        expected = ReferenceTranslate(text, '-', '.', -1, decimal);
        if (got != expected) Fail("IDToIP differs from the part-by-part reading", text, got, expected);
    }

    // The input itself when it is a valid address, and always one made of its
    // first four bytes, so that every run checks a round trip.
    if (const auto octets = ValidOctets(text)) CheckRoundTrip(text, *octets);
    if (size >= 4) {
        const std::vector<int> octets{data[0], data[1], data[2], data[3]};
        const std::string address = std::to_string(octets[0]) + "." + std::to_string(octets[1]) + "." +
                                    std::to_string(octets[2]) + "." + std::to_string(octets[3]);
        CheckRoundTrip(address, octets);
    }
    return 0;
}
