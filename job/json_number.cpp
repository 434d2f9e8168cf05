// json_number.cpp - the number texts of JSON.
#include "job/json_number.h"

namespace job {
namespace {

// Exponents beyond this make no double but zero or infinity either way.
constexpr long MAX_EXPONENT = 100000;

inline bool is_digit(char c) { return c >= '0' && c <= '9'; }

}  // namespace

NumberShape shape_of_number(const char *t, std::size_t size) {
    NumberShape shape;
    const char *p = t;
    const char *const end = t + size;
    auto stop = [&](const char *what) {
        shape.length = static_cast<std::size_t>(p - t);
        shape.missing = what;
        return shape;
    };
    if (p < end && *p == '-') {
        shape.negative = true;
        ++p;
    }
    if (p == end || !is_digit(*p)) return stop("a digit");
    // The whole part: a lone 0, or digits from 1 to 9 on, all of them counted.
    if (*p == '0') {
        ++p;
    } else {
        do {
            if (++shape.counted <= MAX_KEPT_DIGITS) shape.digits = shape.digits * 10 + static_cast<unsigned>(*p - '0');
            ++p;
        } while (p < end && is_digit(*p));
    }
    if (p < end && *p == '.') {
        shape.whole = false;
        if (++p == end || !is_digit(*p)) return stop("a digit after the decimal point");
        do {
            // The zeros in front of the first other digit (0.005) are not counted.
            const unsigned digit = static_cast<unsigned>(*p - '0');
            if (shape.counted > 0 || digit != 0) ++shape.counted;
            if (shape.counted <= MAX_KEPT_DIGITS) {
                shape.digits = shape.digits * 10 + digit;
                --shape.exponent;
            }
            ++p;
        } while (p < end && is_digit(*p));
    }
    if (p < end && (*p == 'e' || *p == 'E')) {
        shape.whole = false;
        ++p;
        bool minus = false;
        if (p < end && (*p == '+' || *p == '-')) minus = *p++ == '-';
        if (p == end || !is_digit(*p)) return stop("a digit of the exponent");
        long power = 0;
        for (; p < end && is_digit(*p); ++p) {
            if (power < MAX_EXPONENT) power = power * 10 + (*p - '0');
        }
        shape.exponent += minus ? -power : power;
    }
    shape.length = static_cast<std::size_t>(p - t);
    return shape;
}

bool quick_double(const NumberShape &shape, double &out) {
    static constexpr double POWERS_OF_TEN[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8,  1e9,  1e10, 1e11,
                                               1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
    if (shape.counted > MAX_KEPT_DIGITS || shape.exponent < -22 || shape.exponent > 22) return false;
    double v = static_cast<double>(shape.digits);
    v = shape.exponent < 0 ? v / POWERS_OF_TEN[-shape.exponent] : v * POWERS_OF_TEN[shape.exponent];
    out = shape.negative ? -v : v;
    return true;
}

}  // namespace job
