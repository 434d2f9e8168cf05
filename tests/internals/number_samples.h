// number_samples.h - a reproducible spread of doubles for checking number
// text against snprintf: sample i is the same on every run.  Shared by the
// test suite (a sample) and the release build's check (many millions).
#pragma once

#include <cfloat>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <limits>
#include <string>

#include "plugin/number_format.h"

namespace number_samples {

constexpr double INCHES_PER_MM = 0.03937007874015748;

inline std::uint64_t mix(std::uint64_t i) {  // splitmix64
    std::uint64_t z = i + 0x9e3779b97f4a7c15ull;
    z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9ull;
    z = (z ^ (z >> 27)) * 0x94d049bb133111ebull;
    return z ^ (z >> 31);
}

// Values at the edges: zeros of both signs, the smallest and largest
// doubles, infinities, NaNs of both signs and the neighbourhood of 1e9.
inline double edge_value(std::uint64_t k) {
    const double inf = std::numeric_limits<double>::infinity();
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double edges[] = {0.0, -0.0, DBL_TRUE_MIN, -DBL_TRUE_MIN, DBL_MIN, DBL_MAX, -DBL_MAX, inf, -inf,
                            nan, -nan, 1e9, std::nextafter(1e9, 0.0), std::nextafter(1e9, inf), -1e9,
                            9007199254740992.0, 1e15, 1e22, 1e300, 0.5, 1.5, 2.5, -0.5, 0.004999999999999999};
    return edges[k % (sizeof edges / sizeof edges[0])];
}

// Sample i of the spread, and the number of decimals to write it with.
struct Sample {
    double value;
    int decimals;
};

inline Sample sample(std::uint64_t i) {
    const std::uint64_t r = mix(i);
    const int decimals = static_cast<int>(r >> 60) % 4 == 0 ? static_cast<int>((r >> 56) % 10) : 2 + static_cast<int>((r >> 55) & 1);
    const double sign = (r >> 54) & 1 ? -1.0 : 1.0;
    const double step = std::pow(10.0, -decimals);
    const std::uint64_t n = (r >> 8) % 100000000;  // up to 1e8 steps
    double v;
    switch (i % 8) {
    case 0:  // an exact half at the last digit: an odd multiple of 2^-(decimals + 1)
        v = sign * std::ldexp(static_cast<double>(2 * (n % 1000000) + 1), -(decimals + 1));
        break;
    case 1:  // such a half and its neighbours just below and above
        v = std::ldexp(static_cast<double>(2 * (n % 100000) + 1), -(decimals + 1));
        v = sign * ((r & 1) ? std::nextafter(v, 0.0) : std::nextafter(v, 1e300));
        break;
    case 2:  // a decimal half as written in a job ("1.005"), often not exact in binary
        v = sign * (static_cast<double>(n) * 10 + 5) * step / 10;
        break;
    case 3:  // coordinates in millimetres with two decimals, written in inches
        return {sign * static_cast<double>(n % 10000000) / 100 * INCHES_PER_MM, 3};
    case 4:  // any bit pattern: tiny, huge, subnormal, infinite, NaN
        std::memcpy(&v, &r, sizeof v);
        break;
    case 5:  // any value below 1e9 with a full fraction
        v = sign * static_cast<double>(r >> 11) * 0x1p-53 * std::pow(10.0, static_cast<double>(n % 10));
        break;
    case 6:  // tiny values around the last digit
        v = sign * static_cast<double>(n % 1000) * step * 1e-3;
        break;
    default:
        v = edge_value(n);
        break;
    }
    return {v, decimals};
}

// Empty when format_fixed writes sample i as snprintf does, else a line
// telling both texts.
inline std::string mismatch(std::uint64_t i) {
    const Sample s = sample(i);
    char expected[512];
    char got[512];
    const int n = std::snprintf(expected, sizeof expected, "%.*f", s.decimals, s.value);
    const std::size_t length = pelk::format_fixed(got, sizeof got, s.value, s.decimals);
    if (n >= 0 && static_cast<std::size_t>(n) == length && std::strcmp(expected, got) == 0) return {};
    char line[1200];
    std::snprintf(line, sizeof line, "sample %llu: %a with %d decimals: snprintf \"%s\", format_fixed \"%s\"",
                  static_cast<unsigned long long>(i), s.value, s.decimals, expected, got);
    return line;
}

}  // namespace number_samples
