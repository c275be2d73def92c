#pragma once

// The ID codec: turns an address text ("1.2.3.4") into the ID text that users
// tell each other ("14-27-39-21") and back. Pure text functions, no state.

#include <string>
#include <string_view>

namespace kestrum::net {

// Reads one part of an address or ID text: blanks, tabs and line feeds are
// dropped, then the leading number is read (sign, digits, one ".", an E or D
// exponent, or an &H / &O whole number). Anything else, or nothing, reads 0.
double ReadNumber(std::string_view part);

// Writes a number as the program shows it: whole values below 1E15 in plain
// decimal, others in the shortest form of at most 15 significant digits with
// the given decimal separator, very large or small magnitudes with an exponent.
std::string WriteNumber(double value, std::string_view decimalSeparator);

// Address text to ID text: each of the first four "."-separated parts plus
// 13, 25, 36, 17, joined with "-". The empty text, or a text of fewer than
// four parts, gives the empty text.
std::string IPToID(std::string_view address, std::string_view decimalSeparator = ".");

// ID text to address text: each of the first four "-"-separated parts minus
// 13, 25, 36, 17, joined with ".". Same empty-text rules as IPToID.
std::string IDToIP(std::string_view id, std::string_view decimalSeparator = ".");

}  // namespace kestrum::net
