// Single strokes, positioning moves and the nibbling-on block.
#include "interface/host_api.h"
#include "plugin/blocks.h"
#include "plugin/hooks.h"
#include "plugin/nc_codes.h"
#include "plugin/nc_text.h"
#include "plugin/pattern_offset.h"
#include "punch/tool_change.h"

namespace pelk {

// A hit (flag 0) or, with flag set, a positioning of the tool without a
// stroke, which the control marks with M03.  Whatever the tool change needs
// goes out in the same flush, ahead of the hit block.
int pp_hit(double x, double y, int tool, int indexable, double angle, int /*spare*/, int flag) {
    const bool position_only = flag != 0;

    gen_nc_n();
    open_punching_block(position_only ? HitMode::end : HitMode::keep);

    const int station = tool_to_turret_station(tool);
    prepare_tool_change(station);

    if (!position_only) gen_nc_g(0);
    te_update_hit(x, y, indexable, angle);
    gen_nc_x_y(0, x, y);
    gen_nc_tool(station);
    gen_nc_index(0, 0, indexable, angle * DEGREES_PER_RADIAN);
    if (position_only) gen_nc_m(M_NO_STROKE);
    return hook_result(end_block_and_flush());
}

// A plain move; the block leaves with the next flush of whoever writes next.
void pp_movement(double x, double y) {
    gen_nc_ni_off();
    cancel_pattern_offset();
    gen_nc_x_y(0, x, y);
    gen_nc_m(M_NO_STROKE);
    gen_nc_eob();
    gen_nc_n();
}

void pp_ni_on() {
    write_text_block("NBL/", Numbering::after);
}

}  // namespace pelk
