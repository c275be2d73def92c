#include "net/codec.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <limits>
#include <random>
#include <string>

using kestrum::net::IDToIP;
using kestrum::net::IPToID;
using kestrum::net::ReadNumber;
using kestrum::net::WriteNumber;

namespace {

std::string Join(int a, int b, int c, int d, char sep) {
    return std::to_string(a) + sep + std::to_string(b) + sep + std::to_string(c) + sep +
           std::to_string(d);
}

std::string Address(int a, int b, int c, int d) { return Join(a, b, c, d, '.'); }
std::string Id(int a, int b, int c, int d) { return Join(a + 13, b + 25, c + 36, d + 17, '-'); }

// The C library's "%.15G" in the "C" locale follows the same writing
// convention, so it serves as an independent reference.
std::string PrintfG(double v) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.15G", v);
    return buffer;
}

// Checks both directions for one address of four octets.
void ExpectRoundTrip(int a, int b, int c, int d) {
    const std::string address = Address(a, b, c, d);
    const std::string id = IPToID(address);
    ASSERT_EQ(id, Id(a, b, c, d)) << address;
    ASSERT_EQ(IDToIP(id), address) << id;
}

}  // namespace

// ---- The codec on addresses and IDs -------------------------------------

TEST(IPToID, AddsTheOffsetsToEachOctet) {
    EXPECT_EQ(IPToID("1.2.3.4"), "14-27-39-21");
    EXPECT_EQ(IPToID("255.255.255.255"), "268-280-291-272");
    EXPECT_EQ(IPToID("0.0.0.0"), "13-25-36-17");
}

TEST(IDToIP, SubtractsTheOffsetsAndMayGoNegative) {
    EXPECT_EQ(IDToIP("14-27-39-21"), "1.2.3.4");
    EXPECT_EQ(IDToIP("0-0-0-0"), "-13.-25.-36.-17");
}

TEST(IPToID, LeadingZerosAreDecimalNotOctal) {
    EXPECT_EQ(IPToID("010.001.002.003"), "23-26-38-20");
    EXPECT_EQ(IPToID("08.09.010.0255"), "21-34-46-272");
}

TEST(Codec, OnlyTheZeroLengthTextIsEmpty) {
    EXPECT_EQ(IPToID(""), "");
    EXPECT_EQ(IDToIP(""), "");
    // Blank parts are parts: they read as 0.
    EXPECT_EQ(IPToID(" . . . "), "13-25-36-17");
    EXPECT_EQ(IDToIP(" - - - "), "-13.-25.-36.-17");
}

TEST(Codec, FewerThanFourPartsGiveTheEmptyText) {
    for (const char* text : {" ", "word", "1.2", "1.2.3", "<html>error</html>", "1-2-3-4"})
        EXPECT_EQ(IPToID(text), "") << text;
    for (const char* text : {" ", "word", "14-27", "14-27-39", "1.2.3.4"})
        EXPECT_EQ(IDToIP(text), "") << text;
}

TEST(Codec, PartsBeyondTheFourthAreIgnored) {
    EXPECT_EQ(IPToID("1.2.3.4.5"), "14-27-39-21");
    EXPECT_EQ(IPToID("1.2.3.4.5.junk."), "14-27-39-21");
    EXPECT_EQ(IDToIP("14-27-39-21-99"), "1.2.3.4");
}

TEST(Codec, EmptyAndNonNumericPartsReadAsZero) {
    EXPECT_EQ(IPToID("1.2.3."), "14-27-39-17");
    EXPECT_EQ(IPToID("1.x.3.y"), "14-25-39-17");
    EXPECT_EQ(IPToID("..."), "13-25-36-17");
    EXPECT_EQ(IDToIP("14-x-39-"), "1.-25.3.-17");
    // A leading "-" of an ID starts an empty first part; the sign is not read.
    EXPECT_EQ(IDToIP("-14-27-39-21"), "-13.-11.-9.22");
}

TEST(Codec, LineEndsAndBlanksAroundOrInsideNumbers) {
    EXPECT_EQ(IPToID("1.2.3.4\r"), "14-27-39-21");
    EXPECT_EQ(IPToID("1.2.3.4\r\n"), "14-27-39-21");
    EXPECT_EQ(IDToIP("14-27-39-21\r\n"), "1.2.3.4");
    EXPECT_EQ(IPToID(" 1 . 2\t.\n3 .4 "), "14-27-39-21");
    EXPECT_EQ(IPToID("1 0.2 5 5.1\t2.3\n4"), "23-280-48-51");
    // A carriage return is not dropped: it ends the number.
    EXPECT_EQ(IPToID("1\r0.2.3.4"), "14-27-39-21");
}

TEST(Codec, ExponentsHexAndOctalInParts) {
    EXPECT_EQ(IPToID("1E2.&HFF.&O10.2D1"), "113-280-44-37");
    EXPECT_EQ(IPToID("&hff.&o17.1e1.1d0"), "268-40-46-18");
    EXPECT_EQ(IDToIP("&H0D-&O31-36E0-1.7D1"), "0.0.0.0");
}

TEST(Codec, SignedParts) {
    EXPECT_EQ(IPToID("+1.-2.+-3.- 4"), "14-23-36-13");
}

TEST(Codec, LargeNumbersSwitchToExponentFormAt1E15) {
    EXPECT_EQ(IPToID("999999999999986.0.0.0"), "999999999999999-25-36-17");
    EXPECT_EQ(IPToID("999999999999987.0.0.0"), "1E+15-25-36-17");
    EXPECT_EQ(IPToID("1E20.0.0.0"), "1E+20-25-36-17");
    EXPECT_EQ(IDToIP("1E+15-25-36-17"), "999999999999987.0.0.0");
    // Beyond 15 significant digits the offset is lost in the rounding.
    EXPECT_EQ(IDToIP("1.5E+16-25-36-17"), "1.5E+16.0.0.0");
    EXPECT_EQ(IDToIP("999999999999999-25-36-17"), "999999999999986.0.0.0");
}

TEST(Codec, OverflowingPartsReadAsZero) {
    EXPECT_EQ(IPToID("1E999.1.1.1"), "13-26-37-18");
    const std::string hugeHex = "&H" + std::string(300, 'F');
    EXPECT_EQ(IPToID(hugeHex + ".1.1.1"), "13-26-37-18");
}

TEST(Codec, FractionsUseTheGivenDecimalSeparator) {
    EXPECT_EQ(IPToID("15E-1.2.3.4", ","), "14,5-27-39-21");
    EXPECT_EQ(IPToID("15E-1.2.3.4"), "14.5-27-39-21");
    EXPECT_EQ(IDToIP("14.5-25-36-17.25", ","), "1,5.0.0.0,25");
    // Reading always takes "." as the point, whatever separator is written.
    EXPECT_EQ(IDToIP("14,5-25-36-17", ","), "1.0.0.0");
    EXPECT_EQ(IPToID("1E-5.0.0.0", ","), "13,00001-25-36-17");
    EXPECT_EQ(IDToIP("13-25-36-17.00001", ","), "0.0.0.9,99999999962142E-06");
}

TEST(Codec, SampleOfAddressesMatchesTheOffsetsAndRoundTrips) {
    // Every octet value in every position, the others random; then random
    // addresses. (All 2^32 addresses would take far too long.)
    std::mt19937 random(20240601);
    std::uniform_int_distribution<int> octet(0, 255);
    for (int position = 0; position < 4; ++position) {
        for (int value = 0; value < 256; ++value) {
            for (int n = 0; n < 16; ++n) {
                int o[4] = {octet(random), octet(random), octet(random), octet(random)};
                o[position] = value;
                ExpectRoundTrip(o[0], o[1], o[2], o[3]);
                if (HasFatalFailure()) return;
            }
        }
    }
    for (int n = 0; n < 100000; ++n) {
        ExpectRoundTrip(octet(random), octet(random), octet(random), octet(random));
        if (HasFatalFailure()) return;
    }
}

// ---- Reading a part -----------------------------------------------------

TEST(ReadNumber, PlainDecimals) {
    EXPECT_EQ(ReadNumber("12"), 12);
    EXPECT_EQ(ReadNumber("0012"), 12);
    EXPECT_EQ(ReadNumber("1.25"), 1.25);
    EXPECT_EQ(ReadNumber(".5"), 0.5);
    EXPECT_EQ(ReadNumber("5."), 5);
    EXPECT_EQ(ReadNumber("0.1"), 0.1);  // correctly rounded, not accumulated
    EXPECT_EQ(ReadNumber("123456789012345678901234567890"), 123456789012345678901234567890.0);
    EXPECT_EQ(ReadNumber("1.2.3"), 1.2);
}

TEST(ReadNumber, NothingNumericReadsZero) {
    for (const char* text : {"", " ", "x1", ".", "+", "-", "+.", "E5", "D5", "&", "&X1", "$5"})
        EXPECT_EQ(ReadNumber(text), 0) << '"' << text << '"';
}

TEST(ReadNumber, StopsAtTheFirstCharacterThatCannotContinue) {
    EXPECT_EQ(ReadNumber("12abc"), 12);
    EXPECT_EQ(ReadNumber("12\r"), 12);
    EXPECT_EQ(ReadNumber("1\r2"), 1);
    EXPECT_EQ(ReadNumber("1,5"), 1);
    EXPECT_EQ(ReadNumber("3-4"), 3);
    EXPECT_EQ(ReadNumber("7+1"), 7);
}

TEST(ReadNumber, DropsBlanksTabsAndLineFeedsAnywhere) {
    EXPECT_EQ(ReadNumber("1 2"), 12);
    EXPECT_EQ(ReadNumber(" \t1\n2 \n"), 12);
    EXPECT_EQ(ReadNumber("- 1 . 5"), -1.5);
    EXPECT_EQ(ReadNumber("1 E 2"), 100);
    EXPECT_EQ(ReadNumber("& H 1 0"), 16);
}

TEST(ReadNumber, Signs) {
    EXPECT_EQ(ReadNumber("+7"), 7);
    EXPECT_EQ(ReadNumber("-7"), -7);
    EXPECT_EQ(ReadNumber("-.5"), -0.5);
    EXPECT_EQ(ReadNumber("+-7"), 0);
    EXPECT_EQ(ReadNumber("--7"), 0);
    EXPECT_EQ(ReadNumber("-&H10"), 0);
    EXPECT_EQ(ReadNumber("+&O10"), 0);
}

TEST(ReadNumber, ExponentsWithEOrDInEitherCase) {
    EXPECT_EQ(ReadNumber("1E2"), 100);
    EXPECT_EQ(ReadNumber("1e2"), 100);
    EXPECT_EQ(ReadNumber("1D2"), 100);
    EXPECT_EQ(ReadNumber("1d2"), 100);
    EXPECT_EQ(ReadNumber("2.5E+3"), 2500);
    EXPECT_EQ(ReadNumber("1D-2"), 0.01);
    EXPECT_EQ(ReadNumber("-15e-1"), -1.5);
    EXPECT_EQ(ReadNumber(".5E1"), 5);
    EXPECT_EQ(ReadNumber("1E2E3"), 100);
    EXPECT_EQ(ReadNumber("1E2.5"), 100);
}

TEST(ReadNumber, ExponentLetterWithoutDigitsEndsTheNumber) {
    EXPECT_EQ(ReadNumber("1E"), 1);
    EXPECT_EQ(ReadNumber("1e+"), 1);
    EXPECT_EQ(ReadNumber("1D-x"), 1);
    EXPECT_EQ(ReadNumber("2.5Ex"), 2.5);
    EXPECT_EQ(ReadNumber("1F2"), 1);
}

TEST(ReadNumber, HexAndOctalWholeNumbers) {
    EXPECT_EQ(ReadNumber("&HFF"), 255);
    EXPECT_EQ(ReadNumber("&hff"), 255);
    EXPECT_EQ(ReadNumber("&HfF"), 255);
    EXPECT_EQ(ReadNumber("&HFFFF"), 65535);
    EXPECT_EQ(ReadNumber("&HFFFFFFFF"), 4294967295.0);
    EXPECT_EQ(ReadNumber("&O17"), 15);
    EXPECT_EQ(ReadNumber("&o17"), 15);
    EXPECT_EQ(ReadNumber("&O0017"), 15);
    EXPECT_EQ(ReadNumber("&O7777777777"), 1073741823.0);
}

TEST(ReadNumber, HexAndOctalStopAtTheFirstNonDigitOfTheirBase) {
    EXPECT_EQ(ReadNumber("&H"), 0);
    EXPECT_EQ(ReadNumber("&HG"), 0);
    EXPECT_EQ(ReadNumber("&H1G"), 1);
    EXPECT_EQ(ReadNumber("&H1.8"), 1);
    EXPECT_EQ(ReadNumber("&O"), 0);
    EXPECT_EQ(ReadNumber("&O8"), 0);
    EXPECT_EQ(ReadNumber("&O78"), 7);
    EXPECT_EQ(ReadNumber("&O1E2"), 1);
}

TEST(ReadNumber, LongHexAndOctalAreCorrectlyRounded) {
    EXPECT_EQ(ReadNumber("&H1" + std::string(255, '0')), std::ldexp(1.0, 1020));
    EXPECT_EQ(ReadNumber("&O1" + std::string(300, '0')), std::ldexp(1.0, 900));
    // 2^63 + 1 and 2^63 - 1 both round to 2^63.
    EXPECT_EQ(ReadNumber("&O1000000000000000000001"), std::ldexp(1.0, 63));
    EXPECT_EQ(ReadNumber("&H7FFFFFFFFFFFFFFF"), std::ldexp(1.0, 63));
    // 2^53 + 1 is a tie and goes to the even neighbour, 2^53.
    EXPECT_EQ(ReadNumber("&O400000000000000001"), std::ldexp(1.0, 53));
}

TEST(ReadNumber, ValuesBeyondADoubleReadAsZero) {
    EXPECT_EQ(ReadNumber("1E999"), 0);
    EXPECT_EQ(ReadNumber("-1E999"), 0);
    EXPECT_EQ(ReadNumber("1E99999999999999999999999"), 0);
    EXPECT_EQ(ReadNumber("&H" + std::string(300, 'F')), 0);
    EXPECT_EQ(ReadNumber("&O" + std::string(400, '7')), 0);
    EXPECT_EQ(ReadNumber("1" + std::string(400, '0')), 0);
    // Still in range: the largest double, and a tiny number.
    EXPECT_EQ(ReadNumber("1.7976931348623157E308"), std::numeric_limits<double>::max());
    EXPECT_EQ(ReadNumber("1E-300"), 1e-300);
    EXPECT_EQ(ReadNumber("1E-999"), 0);
}

// ---- Writing a number ---------------------------------------------------

TEST(WriteNumber, WholeValuesBelow1E15ArePlainDecimal) {
    EXPECT_EQ(WriteNumber(0, "."), "0");
    EXPECT_EQ(WriteNumber(-0.0, "."), "0");
    EXPECT_EQ(WriteNumber(7, ","), "7");
    EXPECT_EQ(WriteNumber(-13, "."), "-13");
    EXPECT_EQ(WriteNumber(1000000, "."), "1000000");
    EXPECT_EQ(WriteNumber(999999999999999.0, "."), "999999999999999");
    EXPECT_EQ(WriteNumber(-999999999999999.0, "."), "-999999999999999");
}

TEST(WriteNumber, FractionsUseAtMostFifteenSignificantDigits) {
    EXPECT_EQ(WriteNumber(0.5, "."), "0.5");
    EXPECT_EQ(WriteNumber(-0.25, "."), "-0.25");
    EXPECT_EQ(WriteNumber(14.5, ","), "14,5");
    EXPECT_EQ(WriteNumber(0.1, "."), "0.1");
    EXPECT_EQ(WriteNumber(0.1 + 0.2, "."), "0.3");
    EXPECT_EQ(WriteNumber(1.0 / 3, "."), "0.333333333333333");
    EXPECT_EQ(WriteNumber(-2.0 / 3, ","), "-0,666666666666667");
    EXPECT_EQ(WriteNumber(123456.789, "."), "123456.789");
    EXPECT_EQ(WriteNumber(0.5, "\xD9\xAB"), "0\xD9\xAB" "5");  // a two-byte separator
}

TEST(WriteNumber, RoundingThatCarriesCanMakeAWholeNumber) {
    EXPECT_EQ(WriteNumber(9.999999999999998, "."), "10");
    EXPECT_EQ(WriteNumber(-99.99999999999999, "."), "-100");
    EXPECT_EQ(WriteNumber(999999999999999.9, "."), "1E+15");
    EXPECT_EQ(WriteNumber(0.00009999999999999999, "."), "0.0001");
}

TEST(WriteNumber, LargeMagnitudesUseExponentForm) {
    EXPECT_EQ(WriteNumber(1e15, "."), "1E+15");
    EXPECT_EQ(WriteNumber(-1e15, "."), "-1E+15");
    EXPECT_EQ(WriteNumber(1.5e16, "."), "1.5E+16");
    EXPECT_EQ(WriteNumber(1.5e16, ","), "1,5E+16");
    EXPECT_EQ(WriteNumber(1e20, "."), "1E+20");
    EXPECT_EQ(WriteNumber(123456789012345678901.0, "."), "1.23456789012346E+20");
    EXPECT_EQ(WriteNumber(1e100, "."), "1E+100");
    EXPECT_EQ(WriteNumber(std::numeric_limits<double>::max(), "."), "1.79769313486232E+308");
}

TEST(WriteNumber, SmallMagnitudesUseExponentFormBelow1EMinus4) {
    EXPECT_EQ(WriteNumber(0.0001, "."), "0.0001");
    EXPECT_EQ(WriteNumber(0.00012, ","), "0,00012");
    EXPECT_EQ(WriteNumber(0.00001, "."), "1E-05");
    EXPECT_EQ(WriteNumber(-0.00001, "."), "-1E-05");
    EXPECT_EQ(WriteNumber(1.5e-7, "."), "1.5E-07");
    EXPECT_EQ(WriteNumber(1.5e-7, ","), "1,5E-07");
    EXPECT_EQ(WriteNumber(1e-300, "."), "1E-300");
    EXPECT_EQ(WriteNumber(5e-324, "."), "4.94065645841247E-324");
}

TEST(WriteNumber, MatchesPrintfGeneralFormOverManyMagnitudes) {
    std::mt19937_64 random(7);
    std::uniform_real_distribution<double> mantissa(-10, 10);
    std::uniform_int_distribution<int> exponent(-30, 30);
    for (int n = 0; n < 20000; ++n) {
        const double v = mantissa(random) * std::pow(10.0, exponent(random));
        ASSERT_EQ(WriteNumber(v, "."), PrintfG(v)) << v;
    }
}

TEST(WriteNumber, NonFiniteValuesWriteZero) {
    EXPECT_EQ(WriteNumber(std::numeric_limits<double>::infinity(), "."), "0");
    EXPECT_EQ(WriteNumber(std::numeric_limits<double>::quiet_NaN(), "."), "0");
}
