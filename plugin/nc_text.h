// nc_text.h - bounded text work on the host's NC line buffer and on the
// module's own block buffers.  Nothing here can write past a buffer.
#pragma once

#include <limits.h>
#include <stddef.h>

namespace pelk {

// Size of the work buffer in which one block or one word is formatted.
enum { BLOCK_TEXT_SIZE = 1024 };

// Length of the text in the NC line buffer.
size_t nc_length();

// Appends text to the NC line buffer.  A text that would not fit whole is
// not appended at all (the buffer is far larger than anything the module
// collects between two flushes, so this only guards against a broken host).
void nc_append(const char *text);

// Formats with printf rules into a block work buffer and appends the result.
// A result longer than the work buffer is not appended (see nc_append).
void nc_appendf(const char *format, ...) __attribute__((format(printf, 1, 2)));

// Replaces the whole NC line buffer by text.
void nc_replace(const char *text);

// Cuts the NC line buffer back to length (no-op when it is shorter).
void nc_truncate(size_t length);

// Formats a host message that is a format with one int argument into out.
// A text with any other conversion than one %d or %i is copied as it stands,
// so a host text can never make the formatting read what was not passed.
void format_host_message(char *out, size_t size, const char *message, int value);

// Formats with printf rules into out (size bytes) and trims the number in it
// with the host's remove_zeros and remove_trailing_point ("X12.50" -> "X12.5",
// "12.00" -> "12").  Answers false when the text did not fit: out then holds
// the text cut at size - 1 characters, trimmed all the same.
bool format_trimmed(char *out, size_t size, const char *format, ...)
    __attribute__((format(printf, 3, 4)));

// The integer at the start of text, read like atoi (blanks, a sign, digits;
// 0 without digits), held within [low, high]: a number beyond the range of
// int never overflows, it reads as the nearer bound.
int read_int(const char *text, int low = INT_MIN, int high = INT_MAX);

// The host's message text number n, or "" when the host has none.
const char *message_text(int n);

// Field readers for packed host records.
int record_int(const char *record, size_t offset);
double record_double(const char *record, size_t offset);
void record_put_int(char *record, size_t offset, int value);
void record_put_double(char *record, size_t offset, double value);

// Equality of coordinates and angles: the difference lies strictly inside
// (-1e-6, 1e-6).
inline bool same_value(double a, double b) {
    const double d = a - b;
    return d > -1e-6 && d < 1e-6;
}

// Degrees per radian, as the control's words are written.
constexpr double DEGREES_PER_RADIAN = 57.29577951308232;

// Inches per millimetre: lengths arrive in millimetres, an inch machine
// (c_mch_units UNITS_INCH) takes inches.
constexpr double INCHES_PER_MM = 0.03937007874015748;

}  // namespace pelk
