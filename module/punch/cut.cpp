// A row of equally spaced hits of one tool: the first hit is an ordinary
// hit, the rest one "LAA/" command that the control repeats along the row.
#include <math.h>

#include "interface/host_api.h"
#include "plugin/flow.h"
#include "plugin/hooks.h"
#include "plugin/nc_text.h"
#include "plugin/written_values.h"
#include "punch/element_record.h"

namespace pelk {

namespace {

// "LAA/<pitch> <direction> <hits after the first>": spacing as a distance,
// direction in degrees from -180 to 180.
void append_row_command(const char *el, double direction) {
    char pitch[256];
    nc_append("LAA/");
    nc_append(gen_nc_d_o_u(el_pitch(el), pitch));
    gen_nc_let(1, " ", direction);
    nc_append_int(" ", el_count(el) - 1);
}

}  // namespace

int pp_cut(double x1, double y1, double x2, double y2, char *el, double angle) {
    // ---- 1. The first hit, written and flushed by the host's hit generator ----
    if (gen_nc_hit(el, x1, y1, el_tool(el), el_indexable(el), angle, el_hit_bits(el), el_hit_bit(el)) != 0) {
        return hook_result(Flow::stop);
    }
    if (el_count(el) <= 1) return hook_result(Flow::go_on);

    // ---- 2. The rest of the row as one command ----------------------------------
    const double direction = atan2(y2 - y1, x2 - x1) * DEGREES_PER_RADIAN;
    gen_nc_n();
    te_update_cut(0, x1, y1, x2, y2, el_count(el), el_indexable(el), angle);
    append_row_command(el, direction);
    if (stopped(end_block_and_flush())) return hook_result(Flow::stop);

    // ---- 3. The control leaves the tool on the last hit, as the command ---------
    // ----    reads: from the first hit as written, by the pitch and the ----------
    // ----    direction as written ------------------------------------------------
    double along_x = 0.0, along_y = 0.0;
    direction_vector(written_plain(direction), along_x, along_y);
    const double length = written_distance(el_pitch(el)) * (el_count(el) - 1);
    place_tool(reached_place_x() + length * along_x, reached_place_y() + length * along_y);
    return hook_result(Flow::go_on);
}

}  // namespace pelk
