// Numbers read from texts without the C library's locale: strtol and atof
// follow the host's setlocale (a German locale reads "2.5" as 2), these
// never do.
#include <charconv>
#include <limits>
#include <system_error>

#include "plugin/nc_text.h"

namespace pelk {

namespace {

// The blanks that isspace knows in the "C" locale.
bool is_blank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r'; }

bool is_digit(char c) { return c >= '0' && c <= '9'; }

bool is_hex_digit(char c) { return is_digit(c) || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F'); }

// Blanks, then a sign; text is left at what follows.
bool read_sign(const char *&text) {
    while (is_blank(*text)) ++text;
    const bool negative = *text == '-';
    if (*text == '-' || *text == '+') ++text;
    return negative;
}

const char *text_end(const char *text) {
    while (*text != '\0') ++text;
    return text;
}

// Far beyond any exponent a double can take; exponents are held to it.
constexpr long EXPONENT_HELD = 1000000;

// The exponent at p ("e-5", or "p+3" behind hexadecimal digits), held within
// +-EXPONENT_HELD; 0 when there is none.
long exponent_at(const char *p, const char *end, bool hex) {
    const char mark = hex ? 'p' : 'e';
    if (p == end || (*p | 0x20) != mark) return 0;
    ++p;
    const bool negative = p < end && *p == '-';
    if (p < end && (*p == '-' || *p == '+')) ++p;
    long value = 0;
    for (; p < end && is_digit(*p); ++p) {
        if (value < EXPONENT_HELD) value = value * 10 + (*p - '0');
    }
    return negative ? -value : value;
}

// For a number beyond the range of double (its text from..end, without the
// "0x" of a hexadecimal one): true when it is too large, false when too
// small.  Only the place of its first digit other than 0 and its exponent
// matter: the two cases lie hundreds of powers apart.
bool too_large(const char *from, const char *end, bool hex) {
    long places = 0;  // digits in front of the point from the first non-zero one; zeros behind it negative
    bool behind_point = false;
    bool significant = false;
    const char *p = from;
    for (; p < end; ++p) {
        if (*p == '.' && !behind_point) {
            behind_point = true;
            continue;
        }
        if (!(hex ? is_hex_digit(*p) : is_digit(*p))) break;
        if (!significant && *p == '0') {
            if (behind_point) --places;
            continue;
        }
        significant = true;
        if (!behind_point) ++places;
    }
    const long per_place = hex ? 4 : 1;  // a hexadecimal exponent counts powers of two
    return places * per_place + exponent_at(p, end, hex) > 0;
}

}  // namespace

int read_int(const char *text, int low, int high) {
    const bool negative = read_sign(text);
    // Worked out towards the sign's side, so that INT_MIN is read whole;
    // held at the range of long long, far beyond any int.
    long long value = 0;
    constexpr long long HELD = std::numeric_limits<long long>::max() / 10 - 9;
    for (; is_digit(*text); ++text) {
        if (value < HELD) value = value * 10 + (*text - '0');
    }
    if (negative) value = -value;
    if (value < low) return low;
    if (value > high) return high;
    return static_cast<int>(value);
}

double read_double(const char *text) {
    const bool negative = read_sign(text);
    if (*text == '+' || *text == '-') return 0.0;  // one sign only
    const char *const end = text_end(text);

    // "0x" takes a hexadecimal number when a digit follows (also behind the
    // point); otherwise the text reads as the 0 in front of the x.
    const char *digits = text;
    std::chars_format format = std::chars_format::general;
    if (text[0] == '0' && (text[1] == 'x' || text[1] == 'X') &&
        (is_hex_digit(text[2]) || (text[2] == '.' && is_hex_digit(text[3])))) {
        digits = text + 2;
        format = std::chars_format::hex;
    }

    double value = 0.0;
    const std::from_chars_result r = std::from_chars(digits, end, value, format);
    if (r.ec == std::errc::result_out_of_range) {
        value = too_large(digits, r.ptr, format == std::chars_format::hex)
                    ? std::numeric_limits<double>::infinity()
                    : 0.0;
    } else if (r.ec != std::errc()) {
        return 0.0;  // no number: no sign either
    }
    return negative ? -value : value;
}

}  // namespace pelk
