// plain_format.h - printf-style formatting whose numbers do not follow the
// C library's locale.
//
// A host that shows the user's number format calls setlocale(LC_ALL, ""),
// and from then on printf writes 2.5 as "2,5" under a German locale.  The
// host's own texts about numbers (its call trace) must read the same
// whatever locale the process has.
#pragma once

#include <cstdarg>
#include <cstddef>

namespace host {

// vsnprintf(out, size, format, args) as it writes in the "C" locale: the
// same bytes, the same answer (the length of the whole text; the text is
// cut at size - 1 characters and always zero-terminated when size > 0).
// Floating conversions (f F e E g G a A, with the flags "-+ 0", width and
// precision, also given by "*") are written by std::to_chars, the others by
// the C library, which writes them alike in every locale.  Widths and
// precisions are held to 400; "#" is taken for the integer conversions and
// dropped for the floating ones; "'" (grouping) is dropped, as the "C"
// locale groups nothing; "%n" stores nothing.
int format_plain(char *out, std::size_t size, const char *format, std::va_list args);

}  // namespace host
