#include "punch/element_blocks.h"

#include "interface/host_api.h"
#include "plugin/nc_text.h"

namespace pelk {

Flow write_move_block(double x, double y) {
    nc_append("MOV/");
    gen_nc_x_y(1, x, y);
    return end_block_flush_and_begin_next();
}

void append_closing_index(int tool, int indexable, double angle) {
    nc_append(" ");
    gen_nc_tool(tool_to_turret_station(tool));
    gen_nc_index(1, 0, indexable, angle * DEGREES_PER_RADIAN);
}

}  // namespace pelk
