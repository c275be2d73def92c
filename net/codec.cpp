#include "net/codec.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <system_error>

namespace kestrum::net {

namespace {

constexpr std::array<double, 4> kOffsets{13, 25, 36, 17};

bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsOctalDigit(char c) { return c >= '0' && c <= '7'; }
bool IsHexDigit(char c) { return IsDigit(c) || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F'); }

// from_chars does not depend on the user's locale, so "." is always the point.
// A number too large for a double reads as 0 rather than as infinity, so that a
// silly ID never shows "inf"; one too small to hold is 0 anyway.
double Convert(std::string_view text, std::chars_format format) {
    double value = 0;
    const auto result = std::from_chars(text.data(), text.data() + text.size(), value, format);
    return result.ec == std::errc() ? value : 0;
}

// Octal digits regrouped as hexadecimal ones, so that both bases get the same
// correctly rounded conversion however many digits there are.
std::string OctalToHex(std::string_view octal) {
    static constexpr char kHex[] = "0123456789abcdef";
    std::string hex;
    unsigned bits = 0;
    int count = 0;
    for (auto it = octal.rbegin(); it != octal.rend(); ++it) {
        bits |= static_cast<unsigned>(*it - '0') << count;
        count += 3;
        for (; count >= 4; count -= 4, bits >>= 4) hex += kHex[bits & 15];
    }
    if (count > 0) hex += kHex[bits];
    std::reverse(hex.begin(), hex.end());
    return hex;
}

// "&H" / "&O" numbers: whole, unsigned, ending at the first non-digit.
double ReadBased(std::string_view text, bool hex) {
    size_t n = 0;
    while (n < text.size() && (hex ? IsHexDigit(text[n]) : IsOctalDigit(text[n]))) ++n;
    if (n == 0) return 0;
    std::string_view digits = text.substr(0, n);
    return hex ? Convert(digits, std::chars_format::hex) : Convert(OctalToHex(digits), std::chars_format::hex);
}

double ReadDecimal(std::string_view text) {
    size_t i = 0;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    const size_t start = i;
    size_t digits = 0;
    for (; i < text.size() && IsDigit(text[i]); ++i) ++digits;
    if (i < text.size() && text[i] == '.')
        for (++i; i < text.size() && IsDigit(text[i]); ++i) ++digits;
    if (digits == 0) return 0;

    std::string number(text.substr(start, i - start));
    // The exponent counts only with at least one digit: "1E+" is just 1.
    if (i < text.size() && std::string_view("EeDd").find(text[i]) != std::string_view::npos) {
        size_t j = i + 1;
        if (j < text.size() && (text[j] == '+' || text[j] == '-')) ++j;
        const size_t expDigits = j;
        while (j < text.size() && IsDigit(text[j])) ++j;
        if (j > expDigits) {
            number += 'e';
            number += text.substr(i + 1, j - i - 1);
        }
    }
    const double value = Convert(number, std::chars_format::general);
    return negative ? -value : value;
}

std::string Translate(std::string_view text, char from, char to, double sign, std::string_view decimalSeparator) {
    if (text.empty()) return {};
    std::array<std::string_view, 4> parts;
    size_t count = 0;
    for (size_t start = 0; count < parts.size();) {
        const size_t end = text.find(from, start);
        parts[count++] = text.substr(start, end == std::string_view::npos ? end : end - start);
        if (end == std::string_view::npos) break;
        start = end + 1;
    }
    // Not an address or ID at all (say, an error page left where an address
    // was expected): give no text rather than a made-up one.
    if (count < parts.size()) return {};

    std::string result;
    for (size_t k = 0; k < parts.size(); ++k) {
        if (k > 0) result += to;
        result += WriteNumber(ReadNumber(parts[k]) + sign * kOffsets[k], decimalSeparator);
    }
    return result;
}

}  // namespace

double ReadNumber(std::string_view part) {
    std::string text;
    for (char c : part)
        if (c != ' ' && c != '\t' && c != '\n') text += c;
    if (text.size() >= 2 && text[0] == '&') {
        if (text[1] == 'H' || text[1] == 'h') return ReadBased(std::string_view(text).substr(2), true);
        if (text[1] == 'O' || text[1] == 'o') return ReadBased(std::string_view(text).substr(2), false);
        return 0;
    }
    return ReadDecimal(text);
}

std::string WriteNumber(double value, std::string_view decimalSeparator) {
    // Read numbers plus the offsets are always finite; keep other callers safe.
    if (!std::isfinite(value)) return "0";
    if (value == std::floor(value) && std::fabs(value) < 1e15)
        return std::to_string(static_cast<long long>(value));  // -0 writes as "0"

    // Round to 15 significant digits first: the rounding may carry into a new
    // digit (9.999999999999999 becomes 10) and that decides the form.
    char buffer[40];
    const auto written = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::scientific, 14);
    std::string_view text(buffer, static_cast<size_t>(written.ptr - buffer));  // [-]d.ddde[+-]dd
    std::string result;
    if (text.front() == '-') {
        result = "-";
        text.remove_prefix(1);
    }
    const size_t e = text.find('e');
    std::string digits = std::string(1, text[0]) + std::string(text.substr(2, e - 2));
    while (digits.size() > 1 && digits.back() == '0') digits.pop_back();
    const int exponent = std::atoi(std::string(text.substr(e + 1)).c_str());

    if (exponent >= 15 || exponent < -4) {
        result += digits[0];
        if (digits.size() > 1) result += std::string(decimalSeparator) + digits.substr(1);
        std::string power = std::to_string(std::abs(exponent));
        if (power.size() < 2) power.insert(0, "0");
        result += (exponent < 0 ? "E-" : "E+") + power;
    } else if (exponent < 0) {
        result += "0" + std::string(decimalSeparator) + std::string(-exponent - 1, '0') + digits;
    } else {
        const size_t whole = static_cast<size_t>(exponent) + 1;
        if (digits.size() <= whole) {
            result += digits + std::string(whole - digits.size(), '0');
        } else {
            result += digits.substr(0, whole) + std::string(decimalSeparator) + digits.substr(whole);
        }
    }
    return result;
}

std::string IPToID(std::string_view address, std::string_view decimalSeparator) {
    return Translate(address, '.', '-', +1, decimalSeparator);
}

std::string IDToIP(std::string_view id, std::string_view decimalSeparator) {
    return Translate(id, '-', '.', -1, decimalSeparator);
}

}  // namespace kestrum::net
