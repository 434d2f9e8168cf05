// Position words of a block.  An axis that did not move is left out, unless
// the caller forces both words or neither axis moved at all.
#include "plugin/hooks.h"
#include "interface/host_api.h"
#include "plugin/nc_codes.h"
#include "plugin/nc_text.h"
#include "plugin/plugin_state.h"
#include "plugin/written_values.h"

namespace pelk {

namespace {

// One axis: the place pp_x_y last asked for and the place the control
// reached by the words as written.
struct AxisPlace {
    double &asked;
    double &reached;
};

// Writes the word of one axis and makes target its current position:
// absolute, relative to the pattern origin for the offset pattern style, or
// an increment from the place the control reached.  The control goes where
// the word as written leads it.
void write_axis_word(char axis, double target, double &current, double pattern_origin, AxisPlace place) {
    const double reached = current == place.asked ? place.reached : current;
    double value;
    double from = 0.0;  // what the written value counts from
    bool incremental = false;
    if (c_nc_sub_type == SUB_TYPE_OFFSET) {
        value = c_nc_absolute != 0 ? target : target - pattern_origin;
        from = c_nc_absolute != 0 ? 0.0 : pattern_origin;
    } else if (c_nc_absolute != 0) {
        value = target;
    } else {
        value = target - reached;
        from = reached;
        incremental = true;
    }
    place.reached = from + written_distance(value);
    // "D" for an increment, the axis, and the distance text made behind them.
    char word[2 + 256];
    size_t at = 0;
    if (incremental) word[at++] = 'D';
    word[at++] = axis;
    gen_nc_d_o_u(value, word + at);
    nc_append(word);
    current = target;
    place.asked = target;
}

}  // namespace

void pp_x_y(int force, double x, double y) {
    const bool both = force == 1 || (same_value(x, c_nc_x) && same_value(y, c_nc_y));
    if (both || !same_value(x, c_nc_x)) {
        write_axis_word('X', x, c_nc_x, c_nc_abs_sub_x, {asked_x, reached_x});
    }
    if (both || !same_value(y, c_nc_y)) {
        write_axis_word('Y', y, c_nc_y, c_nc_abs_sub_y, {asked_y, reached_y});
    }
}

}  // namespace pelk
