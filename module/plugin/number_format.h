// number_format.h - number text without printf.  Each routine writes the
// very bytes that snprintf writes for the format named beside it, rounding
// included, and bounds its result by the caller's buffer in the same way
// (cut at size - 1 characters, always zero-terminated when size > 0).
#pragma once

#include <stddef.h>

namespace pelk {

// Most decimals a fixed text is written with; more are taken as this many.
constexpr int MAX_DECIMALS = 9;

// Longest fixed text of any double: a sign, the 309 digits of the largest
// double, the point and MAX_DECIMALS decimals.
constexpr size_t FIXED_TEXT_MAX = 1 + 309 + 1 + MAX_DECIMALS;

// snprintf(out, size, "%.*f", decimals, value): fixed notation, rounded to
// nearest with exact halves to even, a minus for every value with its sign
// bit set (-0.001 gives "-0.00"), "inf", "-inf", "nan", "-nan".  Answers the
// length of the whole text.
size_t format_fixed(char *out, size_t size, double value, int decimals);

// snprintf(out, size, "%0*lld", width, value): at least width characters,
// the sign included, made up with zeros after the sign.  Answers the length
// of the whole text.
size_t format_int(char *out, size_t size, long long value, int width);

}  // namespace pelk
