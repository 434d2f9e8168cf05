// The host's printf-style formatting for its trace: the very bytes that
// vsnprintf writes in the "C" locale (the locale of this test), whatever
// locale the process has (locale_test.cpp runs it under a German one).
#include <cstdarg>
#include <cstdint>
#include <cstdio>
#include <limits>
#include <string>

#include <gtest/gtest.h>

#include "host/plain_format.h"

namespace {

int plain(char *out, std::size_t size, const char *format, ...) {
    va_list args;
    va_start(args, format);
    const int n = host::format_plain(out, size, format, args);
    va_end(args);
    return n;
}

#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wformat-nonliteral"
#pragma GCC diagnostic ignored "-Wformat-security"
// Formats the arguments both ways, into a roomy buffer and into one of 6
// bytes (cut short), and compares text and answer.
template <typename... Args>
void expect_as_printf(const char *format, Args... args) {
    SCOPED_TRACE(format);
    for (std::size_t size : {std::size_t{2048}, std::size_t{6}, std::size_t{1}}) {
        char expected[2048] = "unchanged";
        char got[2048] = "unchanged";
        const int n_expected = std::snprintf(expected, size, format, args...);
        const int n_got = plain(got, size, format, args...);
        EXPECT_EQ(n_got, n_expected) << size;
        EXPECT_STREQ(got, expected) << size;
    }
}
#pragma GCC diagnostic pop

TEST(PlainFormat, WritesWhatVsnprintfWritesInTheCLocale) {
    const double inf = std::numeric_limits<double>::infinity();
    const double nan = std::numeric_limits<double>::quiet_NaN();
    for (double v : {0.0, -0.0, 1.5, -2.25, 1570.796327, 1e-7, 123456789.0, 1e300, -1e-300, 4.9e-324, 0.5, 2.5,
                     1.0 / 3.0, 9.9999999995, inf, -inf, nan, -nan}) {
        SCOPED_TRACE(v);
        expect_as_printf("%.10g", v);
        expect_as_printf("pp_hit(%.10g, %.10g, %d)", v, -v, 3);
        expect_as_printf("%g|%f|%e|%G|%F|%E", v, v, v, v, v, v);
        expect_as_printf("%.0f|%.0e|%.0g|%.3f|%.15g|%.17e", v, v, v, v, v, v);
        expect_as_printf("%12.4f|%-12.4f|%+g|% g|%012.3f|%-+012.3e|%+08g", v, v, v, v, v, v, v);
        expect_as_printf("%*.*f|%-*g|%.*e", 10, 2, v, 9, v, 4, v);
        expect_as_printf("%a|%A|%.3a|%15a|%015.2a", v, v, v, v, v);
        expect_as_printf("%Lg", static_cast<long double>(v));
        expect_as_printf("%.400f|%.400e|%.400g|%400.3f", v, v, v, v);
    }
    expect_as_printf("plain text");
    expect_as_printf("100%% of %s", "it");
    expect_as_printf("%d %i %u %x %X %o %c", -42, 7, 42u, 255, 255, 8, 'z');
    expect_as_printf("%5d|%-5d|%05d|%+d|% d|%.3d|%#x|%#o", 42, 42, 42, 42, 42, 7, 255, 8);
    expect_as_printf("%ld %lld %zu %hd %hhu %jd %td", -1L, -1LL, std::size_t{9}, 70000, 300, std::intmax_t{5},
                     std::ptrdiff_t{-3});
    expect_as_printf("%s|%10s|%-10s|%.2s|%*s", "text", "text", "text", "text", 6, "ab");
    expect_as_printf("%p", static_cast<void *>(nullptr));
}

TEST(PlainFormat, TextLongerThanTheWorkBufferIsCountedWhole) {
    const std::string long_text(2000, 'x');
    char out[16];
    EXPECT_EQ(plain(out, sizeof out, "[%s] %.1f", long_text.c_str(), 2.5), 2006);
    EXPECT_STREQ(out, "[xxxxxxxxxxxxxx");
}

}  // namespace
