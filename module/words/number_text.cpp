// Number text: distances through the host's number generator, letters with
// a distance or a plain number behind them.
#include <string.h>

#include "interface/host_api.h"
#include "plugin/hooks.h"
#include "plugin/nc_codes.h"
#include "plugin/nc_text.h"
#include "plugin/number_format.h"

namespace pelk {

namespace {
constexpr size_t NUMBER_TEXT_SIZE = 256;  // the host's callers pass at least this much
}  // namespace

// Millimetres with two decimals, or inches with three on an inch machine;
// trailing zeros and a trailing point removed.
char *pp_d_o_u(double value, char *text) {
    if (c_mch_units == UNITS_INCH) {
        format_fixed(text, NUMBER_TEXT_SIZE, value * INCHES_PER_MM, INCH_DECIMALS);
    } else {
        format_fixed(text, NUMBER_TEXT_SIZE, value, MM_DECIMALS);
    }
    remove_zeros(text);
    remove_trailing_point(text);
    return text;
}

// plain 0: the letter and a distance ("X" 10 -> X10, or X0.394 in inches);
// otherwise the letter and the value with two decimals, never converted
// ("C" 90 -> C90).
void pp_let(int plain, char *letter, double value) {
    if (plain != 0) {
        nc_append_trimmed(letter, value, MM_DECIMALS);
        return;
    }
    // The distance text is made right behind the letter, and the word
    // appended at once.
    char word[WORD_PREFIX_MAX + NUMBER_TEXT_SIZE];
    size_t letter_length = strlen(letter);
    if (letter_length > WORD_PREFIX_MAX) {
        nc_append_n(letter, letter_length);
        letter_length = 0;
    }
    memcpy(word, letter, letter_length);
    gen_nc_d_o_u(value, word + letter_length);
    nc_append(word);
}

}  // namespace pelk
