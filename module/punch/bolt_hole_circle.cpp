// A bolt-hole circle: equal holes on a circle at a constant angle step,
// punched by the control from one "ARC/" command.
#include "interface/host_api.h"
#include "plugin/flow.h"
#include "plugin/hooks.h"
#include "plugin/nc_text.h"
#include "plugin/written_values.h"
#include "punch/element_blocks.h"
#include "punch/element_record.h"
#include "punch/tool_change.h"

namespace pelk {

namespace {

// A step this close to 0 counts as the positive sense.
constexpr double STEP_SENSE_TOLERANCE = 1e-6;

// "ARC/<radius> <first hole> <step> <holes> " and the closing index words.
// The angle of the first hole stays as the host's arc routine gives it.
void append_circle_command(const char *el, double first_hole, double angle) {
    nc_append("ARC/");
    gen_nc_let(0, "", el_bhc_radius(el));
    gen_nc_let(1, " ", first_hole * DEGREES_PER_RADIAN);
    gen_nc_let(1, " ", el_step_angle(el) * DEGREES_PER_RADIAN);
    nc_append_int(" ", el_count(el));
    append_closing_index(el_tool(el), el_indexable(el), angle);
}

}  // namespace

int pp_bolt_hole_circle(double xs, double ys, double xe, double ye, double xc, double yc, char *el, double angle) {
    // ---- 1. Angle of the first hole, in the sense of the step --------------
    const double sense = el_step_angle(el) > -STEP_SENSE_TOLERANCE ? 1.0 : -1.0;
    double first_hole = 0.0, last_hole = 0.0, sweep = 0.0;
    calc_sra_era_da(xs, ys, xe, ye, xc, yc, sense, &first_hole, &last_hole, &sweep);

    // ---- 2. Tool and index, then the tool over the centre ------------------
    if (stopped(element_preamble(el, angle))) return hook_result(Flow::stop);
    if (stopped(write_move_block(xc, yc))) return hook_result(Flow::stop);

    // ---- 3. The command: every hole, the first one included ----------------
    te_update_bhc(1, xs, ys, xe, ye, xc, yc, el_bhc_radius(el), el_step_angle(el), el_count(el),
                  el_indexable(el), angle);
    append_circle_command(el, first_hole, angle);
    if (stopped(end_block_and_flush())) return hook_result(Flow::stop);

    // ---- 4. The control leaves the tool on the last hole, as the command ----
    // ----    reads: about the centre as the move wrote it, with the radius, ----
    // ----    the first hole and the step as written ------------------------
    const double last = written_plain(first_hole * DEGREES_PER_RADIAN) +
                        written_plain(el_step_angle(el) * DEGREES_PER_RADIAN) * (el_count(el) - 1);
    double along_x = 0.0, along_y = 0.0;
    direction_vector(last, along_x, along_y);
    const double radius = written_distance(el_bhc_radius(el));
    place_tool(reached_place_x() + radius * along_x, reached_place_y() + radius * along_y);
    return hook_result(Flow::go_on);
}

}  // namespace pelk
