// nc_text.h - bounded text work on the host's NC line buffer and on the
// module's own block buffers.  Nothing here can write past a buffer.
#pragma once

#include <limits.h>
#include <stddef.h>

#include "interface/host_api.h"

namespace pelk {

// Size of the work buffer in which one block or one word is formatted.
enum { BLOCK_TEXT_SIZE = 1024 };

// Longest text the NC line buffer holds, its terminating zero not counted.
constexpr size_t NC_TEXT_MAX = PELK_NC_BUFF_MIN_SIZE - 1;

// Length of the text in the NC line buffer.
size_t nc_length();

// Appends text to the NC line buffer.  Nothing is ever dropped: when the
// text would not fit behind what the buffer holds, the pending text is handed
// to the host's writer first (blocks that do not flush themselves, such as
// plain moves, pile up until then).  The answer of that flush is not needed
// here: a writer that refused once refuses every later flush, so the caller's
// own next flush learns of it.  text must not lie in the NC line buffer.
void nc_append(const char *text);
void nc_append_n(const char *text, size_t length);

// Makes sure that length more characters can be appended without a flush in
// between (flushing the pending text now when they would not fit), for a
// caller that marks a place in the buffer and later reads or cuts from there.
void nc_make_room(size_t length);

// Appends prefix followed by value as printf's "%s%0*lld" writes it: at least
// width characters, made up with zeros ("M%02d" is ("M", m, 2), "T%d" is
// ("T", t)).  width is at most INT_WORD_WIDTH_MAX.
constexpr int INT_WORD_WIDTH_MAX = 20;
void nc_append_int(const char *prefix, long long value, int width = 0);

// Appends prefix followed by value with decimals decimals, the whole word
// trimmed by the host's remove_zeros and remove_trailing_point, as
// "%s%1.2lf" then trimmed writes it (("C", 90, 2) -> "C90", ("F", 98.425, 3)
// -> "F98.425").  A prefix longer than WORD_PREFIX_MAX goes ahead on its own
// and only the number is trimmed.
constexpr size_t WORD_PREFIX_MAX = 64;
void nc_append_trimmed(const char *prefix, double value, int decimals);

// Formats with printf rules and appends the result, as nc_append does.
void nc_appendf(const char *format, ...) __attribute__((format(printf, 1, 2)));

// Replaces the whole NC line buffer by text.
void nc_replace(const char *text);

// Cuts the NC line buffer back to length (no-op when it is shorter).
void nc_truncate(size_t length);

// Formats a host message that is a format with one int argument into out.
// A text with any other conversion than one %d or %i is copied as it stands,
// so a host text can never make the formatting read what was not passed.
void format_host_message(char *out, size_t size, const char *message, int value);

// Numbers in texts of the host and of LASER.PAR (number_read.cpp).  Both
// read as atoi and atof read in the "C" locale, whatever locale the host has
// set: a host that shows the user's number format must not change what the
// module reads.

// The integer at the start of text, read like atoi (blanks, a sign, digits;
// 0 without digits), held within [low, high]: a number beyond the range of
// int never overflows, it reads as the nearer bound.
int read_int(const char *text, int low = INT_MIN, int high = INT_MAX);

// The number at the start of text, read like atof: blanks skipped, a sign,
// then the longest decimal or hexadecimal number (with a point, never a
// comma), "inf", "infinity" or "nan"; 0 when there is none.  A number beyond
// the range of double reads as an infinity, one too small as 0.
double read_double(const char *text);

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

// Decimals of the distance text: millimetres with two, inches with three.
enum : int { MM_DECIMALS = 2, INCH_DECIMALS = 3 };

// Inches per millimetre: lengths arrive in millimetres, an inch machine
// (c_mch_units UNITS_INCH) takes inches.
constexpr double INCHES_PER_MM = 0.03937007874015748;

}  // namespace pelk
