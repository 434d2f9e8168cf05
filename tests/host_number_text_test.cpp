// Trimming of number texts by the host: the form of every number the
// module writes depends on it.
#include <gtest/gtest.h>

#include <string>

#include "interface/host_api.h"

namespace {

std::string zeros(std::string text) {
    char buffer[64];
    snprintf(buffer, sizeof buffer, "%s", text.c_str());
    remove_zeros(buffer);
    return buffer;
}

std::string both(std::string text) {
    char buffer[64];
    snprintf(buffer, sizeof buffer, "%s", text.c_str());
    remove_zeros(buffer);
    remove_trailing_point(buffer);
    return buffer;
}

}  // namespace

TEST(HostNumberText, RemoveZerosTrimsOnlyTheFraction) {
    EXPECT_EQ(zeros("12.50"), "12.5");
    EXPECT_EQ(zeros("12.00"), "12.");
    EXPECT_EQ(zeros("100"), "100");
    EXPECT_EQ(zeros("100.000"), "100.");
    EXPECT_EQ(zeros("0.394"), "0.394");
    EXPECT_EQ(zeros("C90.00"), "C90.");
    // A point earlier in the text does not make the last number's zeros a fraction.
    EXPECT_EQ(zeros("C1.5 100"), "C1.5 100");
    EXPECT_EQ(zeros(""), "");
}

TEST(HostNumberText, TogetherTheyGiveTheShortestText) {
    EXPECT_EQ(both("12.50"), "12.5");
    EXPECT_EQ(both("12.00"), "12");
    EXPECT_EQ(both("100"), "100");
    EXPECT_EQ(both("0.00"), "0");
    EXPECT_EQ(both("-3.25"), "-3.25");
    EXPECT_EQ(both("C45.50"), "C45.5");
    EXPECT_EQ(both(" -360.00"), " -360");
}

TEST(HostNumberText, ZeroNeverKeepsAMinusSign) {
    EXPECT_EQ(both("-0.00"), "0");
    EXPECT_EQ(both("-0.000"), "0");
    EXPECT_EQ(both("C-0.00"), "C0");
    EXPECT_EQ(both(" -0.00"), " 0");
    EXPECT_EQ(both("DX-0.00"), "DX0");
    // Small values that do not round to zero keep their sign.
    EXPECT_EQ(both("-0.01"), "-0.01");
    EXPECT_EQ(both("-0.004"), "-0.004");
    EXPECT_EQ(both("-10.00"), "-10");
    // remove_trailing_point alone on a text already without zeros.
    char text[] = "-0.";
    remove_trailing_point(text);
    EXPECT_STREQ(text, "0");
}

TEST(HostNumberText, NullTextIsIgnored) {
    remove_zeros(nullptr);
    remove_trailing_point(nullptr);
}
