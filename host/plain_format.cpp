// plain_format.cpp - printf-style formatting without the locale's numbers.
#include "host/plain_format.h"

#include <charconv>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string_view>

namespace host {

namespace {

// The text being built: what fits goes into out, and the whole length is
// counted as vsnprintf counts it.
struct Output {
    char *out;
    std::size_t size;
    std::size_t length = 0;

    void put(const char *text, std::size_t n) {
        if (length < size) {
            const std::size_t room = size - 1 - length;
            std::memcpy(out + length, text, n < room ? n : room);
        }
        length += n;
    }
    void put_repeated(char c, std::size_t n) {
        for (std::size_t i = 0; i < n; ++i) put(&c, 1);
    }
    void finish() {
        if (size > 0) out[length < size ? length : size - 1] = '\0';
    }
};

// One conversion of the format, its parts taken apart.
struct Conversion {
    bool left = false;       // '-'
    bool plus = false;       // '+'
    bool space = false;      // ' '
    bool zero = false;       // '0'
    bool alternate = false;  // '#': taken for the integer conversions only
    int width = 0;
    int precision = -1;      // none given
    char length[3] = "";     // "hh", "h", "l", "ll", "j", "z", "t", "L" or none
    char kind = '\0';
};

// Widths and precisions are held to this: far beyond any text of the host.
constexpr int WIDTH_MAX = 400;

bool is_digit(char c) { return c >= '0' && c <= '9'; }

int held(int value) { return value < WIDTH_MAX ? value : WIDTH_MAX; }

int read_number(const char *&p) {
    int value = 0;
    while (is_digit(*p)) {
        if (value <= WIDTH_MAX) value = value * 10 + (*p - '0');
        ++p;
    }
    return held(value);
}

// Reads the conversion behind a '%' (p on the first character after it).
// The flag "'" (thousands' grouping) is read and dropped: the "C" locale
// groups nothing.
Conversion read_conversion(const char *&p, std::va_list &args) {
    Conversion c;
    for (;; ++p) {
        if (*p == '-') c.left = true;
        else if (*p == '+') c.plus = true;
        else if (*p == ' ') c.space = true;
        else if (*p == '0') c.zero = true;
        else if (*p == '#') c.alternate = true;
        else if (*p != '\'') break;
    }
    if (*p == '*') {
        const int width = va_arg(args, int);
        if (width < 0) c.left = true;
        c.width = held(width < 0 ? (width == INT32_MIN ? WIDTH_MAX : -width) : width);
        ++p;
    } else {
        c.width = read_number(p);
    }
    if (*p == '.') {
        ++p;
        if (*p == '*') {
            const int precision = va_arg(args, int);
            c.precision = precision < 0 ? -1 : held(precision);
            ++p;
        } else {
            c.precision = read_number(p);
        }
    }
    if (*p == 'h' || *p == 'l') {
        c.length[0] = *p++;
        if (*p == c.length[0]) c.length[1] = *p++;
    } else if (*p != '\0' && std::strchr("jztL", *p) != nullptr) {
        c.length[0] = *p++;
    }
    c.kind = *p != '\0' ? *p++ : '\0';
    return c;
}

bool is_floating(char kind) { return kind != '\0' && std::strchr("fFeEgGaA", kind) != nullptr; }

char upper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

// A floating conversion, as printf writes it in the "C" locale.
void put_floating(Output &o, const Conversion &c, double value) {
    // "0x", the 309 digits of the largest double, the point and the most
    // decimals a precision can ask for.
    char text[2 + 309 + 1 + WIDTH_MAX + 8];
    std::chars_format format = std::chars_format::general;
    switch (c.kind | 0x20) {
    case 'f': format = std::chars_format::fixed; break;
    case 'e': format = std::chars_format::scientific; break;
    case 'a': format = std::chars_format::hex; break;
    default: break;
    }
    int precision = c.precision;
    if (precision < 0 && format != std::chars_format::hex) precision = 6;
    if (precision == 0 && format == std::chars_format::general) precision = 1;

    // The sign apart, so that the padding can go between it and the digits.
    const bool negative = std::signbit(value);
    const double magnitude = negative ? -value : value;
    char *digits = text + 2;  // room for "0x"
    const std::to_chars_result r =
        precision < 0 ? std::to_chars(digits, text + sizeof text, magnitude, format)
                      : std::to_chars(digits, text + sizeof text, magnitude, format, precision);
    std::size_t length = r.ec == std::errc() ? static_cast<std::size_t>(r.ptr - digits) : 0;
    const bool finite = magnitude - magnitude == 0.0;
    if (format == std::chars_format::hex && finite) {
        digits -= 2;
        digits[0] = '0';
        digits[1] = 'x';
        length += 2;
    }
    if (c.kind >= 'A' && c.kind <= 'Z') {
        for (std::size_t i = 0; i < length; ++i) digits[i] = upper(digits[i]);
    }

    const char *sign = negative ? "-" : c.plus ? "+" : c.space ? " " : "";
    const std::size_t sign_length = std::strlen(sign);
    const std::size_t whole = sign_length + length;
    const std::size_t pad = static_cast<std::size_t>(c.width) > whole ? c.width - whole : 0;
    if (!c.left && !(c.zero && finite)) o.put_repeated(' ', pad);
    o.put(sign, sign_length);
    if (!c.left && c.zero && finite) {
        // Zeros go behind the "0x" of a hexadecimal number.
        const std::size_t prefix = format == std::chars_format::hex ? 2 : 0;
        o.put(digits, prefix);
        o.put_repeated('0', pad);
        o.put(digits + prefix, length - prefix);
    } else {
        o.put(digits, length);
    }
    if (c.left) o.put_repeated(' ', pad);
}

// Any other conversion: the C library writes it, with its own argument.
void put_other(Output &o, const Conversion &c, std::va_list &args) {
    if (c.kind == 's') {
        // A text may be longer than the work buffer: written straight.
        const char *s = va_arg(args, const char *);
        if (s == nullptr) s = "(null)";
        std::size_t shown = std::strlen(s);
        if (c.precision >= 0 && static_cast<std::size_t>(c.precision) < shown) shown = c.precision;
        const std::size_t pad = static_cast<std::size_t>(c.width) > shown ? c.width - shown : 0;
        if (!c.left) o.put_repeated(' ', pad);
        o.put(s, shown);
        if (c.left) o.put_repeated(' ', pad);
        return;
    }
    if (c.kind == 'n') {
        (void)va_arg(args, void *);  // nothing is stored through the argument
        return;
    }

    // The conversion alone, with its flags, width and precision as numbers.
    char one[32];
    int used = std::snprintf(one, sizeof one, "%%%s%s%s%s%s%d", c.left ? "-" : "", c.plus ? "+" : "",
                             c.space ? " " : "", c.zero ? "0" : "", c.alternate ? "#" : "", c.width);
    if (c.precision >= 0) used += std::snprintf(one + used, sizeof one - used, ".%d", c.precision);
    std::snprintf(one + used, sizeof one - used, "%s%c", c.length, c.kind);

    // Widths are held to WIDTH_MAX: every text fits.
    char text[2 * WIDTH_MAX];
    int n = 0;
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wformat-nonliteral"
    auto write = [&](auto value) { n = std::snprintf(text, sizeof text, one, value); };
#pragma GCC diagnostic pop
    const std::string_view length(c.length);
    if (c.kind == 'p') write(va_arg(args, void *));
    else if (c.kind == 'c') write(va_arg(args, int));
    else if (length == "ll") write(va_arg(args, long long));
    else if (length == "l") write(va_arg(args, long));
    else if (length == "z") write(va_arg(args, std::size_t));
    else if (length == "j") write(va_arg(args, std::intmax_t));
    else if (length == "t") write(va_arg(args, std::ptrdiff_t));
    else write(va_arg(args, int));  // int, and "h", "hh" (passed as int); "L" is taken as none
    if (n > 0) o.put(text, static_cast<std::size_t>(n));
}

}  // namespace

int format_plain(char *out, std::size_t size, const char *format, std::va_list args) {
    Output o{out, size};
    std::va_list rest;
    va_copy(rest, args);
    for (const char *p = format; *p != '\0';) {
        if (*p != '%') {
            const char *next = std::strchr(p, '%');
            const std::size_t n = next != nullptr ? static_cast<std::size_t>(next - p) : std::strlen(p);
            o.put(p, n);
            p += n;
            continue;
        }
        const char *start = p++;
        if (*p == '%') {
            o.put("%", 1);
            ++p;
            continue;
        }
        const Conversion c = read_conversion(p, rest);
        if (c.kind == '\0' || std::strchr("diouxXcspnfFeEgGaA", c.kind) == nullptr) {
            o.put(start, static_cast<std::size_t>(p - start));  // not a conversion: shown as it stands
        } else if (is_floating(c.kind)) {
            const double value = c.length[0] == 'L' ? static_cast<double>(va_arg(rest, long double))
                                                    : va_arg(rest, double);
            put_floating(o, c, value);
        } else {
            put_other(o, c, rest);
        }
    }
    va_end(rest);
    o.finish();
    return static_cast<int>(o.length);
}

}  // namespace host
