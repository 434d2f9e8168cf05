// Number text: distances through the host's number generator, letters with
// a distance or a plain number behind them.
#include <stdio.h>

#include "interface/host_api.h"
#include "plugin/hooks.h"
#include "plugin/nc_codes.h"
#include "plugin/nc_text.h"

namespace pelk {

namespace {
constexpr size_t NUMBER_TEXT_SIZE = 256;  // the host's callers pass at least this much
}  // namespace

// Millimetres with two decimals, or inches with three on an inch machine;
// trailing zeros and a trailing point removed.
char *pp_d_o_u(double value, char *text) {
    if (c_mch_units == UNITS_INCH) {
        (void)format_trimmed(text, NUMBER_TEXT_SIZE, "%1.3lf", value * INCHES_PER_MM);
    } else {
        (void)format_trimmed(text, NUMBER_TEXT_SIZE, "%1.2lf", value);
    }
    return text;
}

// plain 0: the letter and a distance ("X" 10 -> X10, or X0.394 in inches);
// otherwise the letter and the value with two decimals, never converted
// ("C" 90 -> C90).
void pp_let(int plain, char *letter, double value) {
    char number[NUMBER_TEXT_SIZE];
    if (plain == 0) {
        gen_nc_d_o_u(value, number);
        nc_appendf("%s%s", letter, number);
        return;
    }
    char word[BLOCK_TEXT_SIZE];
    if (format_trimmed(word, sizeof word, "%s%1.2lf", letter, value)) nc_append(word);
}

}  // namespace pelk
