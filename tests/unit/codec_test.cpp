// The ID codec: each part of an address or ID read as a number, moved by its
// offset and written back.

#include "net/codec.h"

#include <gtest/gtest.h>

#include <string>

namespace kestrum::net {
namespace {

TEST(Codec, TranslatesTheFirstFourPartsByTheirOffsets) {
    const std::pair<const char*, const char*> cases[] = {
        // clang-format off
        {"1.2.3.4", "14-27-39-21"},           {"256.255.255.255", "269-280-291-272"},
        {"", ""},                             {"1.2.3", ""},  // not an address: no made-up ID
        {"1.2.3.4.5.junk", "14-27-39-21"},
        {" . . . ", "13-25-36-17"},           {"1.x.3.", "14-25-39-17"},
        {" 1 . 2\t.\n3 .4\r\n", "14-27-39-21"}, {"0.15E-1.0.0", "13-26,5-36-17"},
        // clang-format on
    };
    for (const auto& [address, id] : cases) EXPECT_EQ(IPToID(address, ","), id) << address;
    EXPECT_EQ(IDToIP("14-27-39-21"), "1.2.3.4");
    EXPECT_EQ(IDToIP("-14-27-39-21-99"), "-13.-11.-9.22");     // a leading "-" starts an empty part
    EXPECT_EQ(IDToIP("14,5-25-36-17.25", ","), "1.0.0.0,25");  // read with ".", written with ","
    EXPECT_EQ(IDToIP("14-27-39"), "");
}

TEST(ReadNumber, ReadsTheLeadingNumberOfAPart) {
    // clang-format off
    const std::pair<std::string, double> cases[] = {
        {"0012", 12}, {".5", 0.5}, {"1.2.3", 1.2}, {"12abc", 12}, {"1\r2", 1}, {"- 1 . 5", -1.5}, {"x1", 0},
        {"+-7", 0}, {"-&H10", 0}, {"1d-2", 0.01}, {"1E+", 1}, {"1E2E3", 100}, {"&hfF", 255}, {"&O17", 15},
        {"&O78", 7}, {"&H", 0}, {"&X1", 0},
    };
    // clang-format on
    for (const auto& [text, value] : cases) EXPECT_EQ(ReadNumber(text), value) << text;
}

TEST(WriteNumber, WritesWholeNumbersPlainAndOthersInFifteenDigits) {
    // clang-format off
    const std::pair<double, const char*> cases[] = {
        {-0.0, "0"}, {-13, "-13"}, {999999999999999, "999999999999999"}, {1e15, "1E+15"}, {1.5e16, "1,5E+16"},
        {0.1 + 0.2, "0,3"}, {-2.0 / 3, "-0,666666666666667"}, {9.999999999999998, "10"}, {0.0001, "0,0001"},
        {0.00001, "1E-05"},
    };
    // clang-format on
    for (const auto& [value, text] : cases) EXPECT_EQ(WriteNumber(value, ","), text) << value;
}

}  // namespace
}  // namespace kestrum::net
