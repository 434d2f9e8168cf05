// Number text without printf.
//
// A fixed text of a value below FAST_LIMIT with up to FAST_DECIMALS decimals
// is worked out exactly in 64-bit integers: the double is m * 2^e, so value *
// 10^decimals is m * 10^decimals / 2^-e, whose quotient and remainder decide
// the rounding (above half up, below half down, an exact half to the even
// neighbour, as printf rounds in the default rounding mode).  Other values
// go to std::to_chars, which is exact too.
#include "plugin/number_format.h"

#include <math.h>
#include <stdint.h>
#include <string.h>

#include <charconv>

namespace pelk {

namespace {

constexpr uint64_t POWER_OF_TEN[MAX_DECIMALS + 1] = {
    1ull, 10ull, 100ull, 1000ull, 10000ull, 100000ull, 1000000ull, 10000000ull, 100000000ull, 1000000000ull,
};

// The integer road: mantissa (below 2^53) times 10^FAST_DECIMALS stays below
// 2^63, and every value below FAST_LIMIT (< 2^52) has a fraction exponent.
constexpr int FAST_DECIMALS = 3;
constexpr double FAST_LIMIT = 1e9;
static_assert(FAST_LIMIT < 4503599627370496.0, "below 2^52 every double has a fraction exponent");

// Copies a text of length characters into out as snprintf would leave it.
size_t put_text(char *out, size_t size, const char *text, size_t length) {
    if (size > 0) {
        const size_t kept = length < size ? length : size - 1;
        memcpy(out, text, kept);
        out[kept] = '\0';
    }
    return length;
}

// Writes the digits of n in front of end; answers where they begin.
char *digits_before(char *end, uint64_t n) {
    do {
        *--end = static_cast<char>('0' + n % 10);
        n /= 10;
    } while (n != 0);
    return end;
}

// value * 10^decimals rounded to the nearest integer, an exact half to even;
// value is finite, not negative and below FAST_LIMIT, decimals at most
// FAST_DECIMALS.
uint64_t scaled_and_rounded(double value, int decimals) {
    uint64_t bits;
    memcpy(&bits, &value, sizeof bits);
    const int biased_exponent = static_cast<int>((bits >> 52) & 0x7ff);
    const uint64_t fraction = bits & ((uint64_t{1} << 52) - 1);
    // value = mantissa * 2^-shift exactly, shift >= 1.
    const uint64_t mantissa = biased_exponent == 0 ? fraction : fraction | uint64_t{1} << 52;
    const int shift = 1075 - (biased_exponent == 0 ? 1 : biased_exponent);
    const uint64_t scaled = mantissa * POWER_OF_TEN[decimals];  // below 2^63
    if (shift > 63) return 0;                                   // below one half
    const uint64_t quotient = scaled >> shift;
    const uint64_t remainder = scaled & ((uint64_t{1} << shift) - 1);
    const uint64_t half = uint64_t{1} << (shift - 1);
    if (remainder > half || (remainder == half && (quotient & 1) != 0)) return quotient + 1;
    return quotient;
}

}  // namespace

size_t format_fixed(char *out, size_t size, double value, int decimals) {
    if (decimals < 0) decimals = 0;
    if (decimals > MAX_DECIMALS) decimals = MAX_DECIMALS;
    const bool negative = signbit(value) != 0;

    if (!isfinite(value)) {
        const char *word = isnan(value) ? (negative ? "-nan" : "nan") : (negative ? "-inf" : "inf");
        return put_text(out, size, word, strlen(word));
    }

    const double magnitude = negative ? -value : value;
    if (magnitude >= FAST_LIMIT || decimals > FAST_DECIMALS) {
        char text[FIXED_TEXT_MAX + 1];
        const std::to_chars_result r = std::to_chars(text, text + sizeof text, value, std::chars_format::fixed, decimals);
        return put_text(out, size, text, static_cast<size_t>(r.ptr - text));
    }

    // ---- The exact integer road: sign, whole part, point, decimals ---------
    const uint64_t scaled = scaled_and_rounded(magnitude, decimals);
    const uint64_t scale = POWER_OF_TEN[decimals];
    char text[32];
    char *const end = text + sizeof text;
    char *begin = end;
    if (decimals > 0) {
        uint64_t fraction = scaled % scale;
        for (int i = 0; i < decimals; ++i) {
            *--begin = static_cast<char>('0' + fraction % 10);
            fraction /= 10;
        }
        *--begin = '.';
    }
    begin = digits_before(begin, scaled / scale);
    if (negative) *--begin = '-';
    return put_text(out, size, begin, static_cast<size_t>(end - begin));
}

size_t format_int(char *out, size_t size, long long value, int width) {
    const bool negative = value < 0;
    // The magnitude as unsigned, so that the most negative value has one too.
    const unsigned long long magnitude = negative ? 0ull - static_cast<unsigned long long>(value)
                                                  : static_cast<unsigned long long>(value);
    char digits[24];
    char *const end = digits + sizeof digits;
    const char *begin = digits_before(end, magnitude);
    const size_t digit_count = static_cast<size_t>(end - begin);
    const size_t sign_count = negative ? 1 : 0;
    const size_t wanted = width > 0 ? static_cast<size_t>(width) : 0;
    const size_t zeros = wanted > sign_count + digit_count ? wanted - sign_count - digit_count : 0;
    const size_t length = sign_count + zeros + digit_count;
    if (size == 0) return length;

    // ---- Sign, zeros and digits, as many as the buffer takes ---------------
    size_t at = 0;
    const size_t room = size - 1;
    if (negative && at < room) out[at++] = '-';
    for (size_t i = 0; i < zeros && at < room; ++i) out[at++] = '0';
    for (const char *d = begin; d < end && at < room; ++d) out[at++] = *d;
    out[at] = '\0';
    return length;
}

}  // namespace pelk
