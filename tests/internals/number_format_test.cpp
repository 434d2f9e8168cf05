// Number text without printf: the same bytes as snprintf, over a spread of
// values (the release build's check runs many millions of the same spread).
#include <gtest/gtest.h>

#include <climits>
#include <cstdio>
#include <string>

#include "plugin/number_format.h"
#include "tests/internals/number_samples.h"

namespace {

TEST(NumberFormat, FixedTextIsPrintfsOverASpreadOfValues) {
    constexpr std::uint64_t SAMPLES = 300000;
    int mismatches = 0;
    for (std::uint64_t i = 0; i < SAMPLES; ++i) {
        const std::string line = number_samples::mismatch(i);
        if (line.empty()) continue;
        if (++mismatches <= 5) ADD_FAILURE() << line;
    }
    EXPECT_EQ(mismatches, 0);
}

// Cut like snprintf: the whole length answered, size - 1 characters kept.
TEST(NumberFormat, ShortBuffersAreCutLikeSnprintf) {
    for (const std::size_t size : {0, 1, 2, 4, 7}) {
        for (const double value : {-1234.567, 0.5, 1e300}) {
            char expected[8] = "zzzzzzz";
            char got[8] = "zzzzzzz";
            const int n = std::snprintf(expected, size, "%.2f", value);
            EXPECT_EQ(pelk::format_fixed(got, size, value, 2), static_cast<std::size_t>(n));
            EXPECT_EQ(std::string(got, sizeof got), std::string(expected, sizeof expected)) << size << " " << value;
        }
        char expected[8] = "zzzzzzz";
        char got[8] = "zzzzzzz";
        const int n = std::snprintf(expected, size, "%0*lld", 6, -42ll);
        EXPECT_EQ(pelk::format_int(got, size, -42, 6), static_cast<std::size_t>(n));
        EXPECT_EQ(std::string(got, sizeof got), std::string(expected, sizeof expected)) << size;
    }
}

TEST(NumberFormat, IntegersArePrintfsWithTheirWidth) {
    for (const long long value : {0ll, 3ll, -3ll, 9ll, 10ll, 121ll, 610ll, -610ll, 4294967296ll, LLONG_MAX, LLONG_MIN}) {
        for (const int width : {0, 1, 2, 4, 25}) {
            char expected[64];
            char got[64];
            std::snprintf(expected, sizeof expected, "%0*lld", width, value);
            EXPECT_EQ(pelk::format_int(got, sizeof got, value, width), std::string(expected).size());
            EXPECT_STREQ(got, expected) << value << " width " << width;
        }
    }
}

}  // namespace
