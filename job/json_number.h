// json_number.h - the number texts of JSON: their grammar, checked in one
// pass, and the exact quick way to their doubles.
#pragma once

#include <cstddef>
#include <cstdint>

namespace job {

// How a number text starts, read in one pass: the length of the number at
// the start of t, or what is missing where it stops being one; and its
// digits as an integer with the power of ten of the last one, as long as
// they fit.
struct NumberShape {
    std::size_t length = 0;          // the bytes of the number
    bool whole = true;               // no fraction, no exponent
    const char *missing = nullptr;   // set: no number; this was expected at `length`
    bool negative = false;
    std::uint64_t digits = 0;        // the digits, while at most MAX_KEPT_DIGITS count
    std::size_t counted = 0;         // digits from the first non-zero one on
    long exponent = 0;               // the power of ten of the last digit
};

// Digits kept in NumberShape::digits: any 15 stay below 2^53, so they are a
// double exactly.
inline constexpr std::size_t MAX_KEPT_DIGITS = 15;

// Reads the number at the start of t (size bytes; it may stop before them).
// -? (0 | [1-9][0-9]*) (. [0-9]+)? ([eE] [+-]? [0-9]+)?
NumberShape shape_of_number(const char *t, std::size_t size);

// The double of a number, the quick way where that is exact: its digits
// make an integer below 2^53 and the power of ten is at most 22, so both
// are doubles exactly and one division or product rounds once, as the full
// conversion does.  False when the number is not of that kind.
bool quick_double(const NumberShape &shape, double &out);

}  // namespace job
