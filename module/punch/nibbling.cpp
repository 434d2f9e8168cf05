// Nibbling: a line, a full circle or an arc cut by many overlapping strokes.
// The control expands one command per element ("CAA/Z" for a line, "RAD/I"
// for a circle or an arc); ahead of it stand the tool and index block, the
// "MOV/" positioning block and the nibbling-on block "NBL/".
#include <math.h>

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

// The fixed distance every nibbling command carries as its second value.
constexpr double COMMAND_DISTANCE = 10.0;

// A circle or arc command is given the element's radius plus this much; the
// control leaves the tool on that larger radius.
constexpr double RADIUS_ALLOWANCE = 5.0;

// A step longer than what it may cover is cut back only when it exceeds it
// by this much or more.
constexpr double STEP_TOLERANCE = 0.002;

constexpr double FULL_TURN_DEGREES = 360.0;

// Shown after a circle or arc nibbled with an indexed tool; the user's
// answer decides whether the program goes on.
constexpr int MSG_CHECK_INDEXED_NIBBLING = 853;

double capped_step(double pitch, double cap) { return pitch - cap >= STEP_TOLERANCE ? cap : pitch; }

// Up to the command: the tool and index, the tool moved to (x, y) when
// move is set, and "NBL/".
Flow open_nibbling(const char *el, double angle, bool move, double x, double y) {
    if (stopped(element_preamble(el, angle))) return Flow::stop;
    if (move && stopped(write_move_block(x, y))) return Flow::stop;
    gen_nc_ni_on(1);
    return Flow::go_on;
}

// The command standing in the buffer goes out; the control leaves the tool
// at (x, y).
Flow finish_command(double x, double y) {
    if (stopped(end_block_and_flush())) return Flow::stop;
    place_tool(x, y);
    return Flow::go_on;
}

// "RAD/I <radius + allowance> <distance> <start> <turn> <step> " and the
// closing index words.  start and turn in degrees, start as the host's
// remainder brings it into one turn.
void append_round_command(const char *el, double start, double turn, double step, double angle) {
    nc_append("RAD/I");
    gen_nc_let(0, " ", el_radius(el) + RADIUS_ALLOWANCE);
    gen_nc_let(0, " ", COMMAND_DISTANCE);
    gen_nc_let(1, " ", start);
    gen_nc_let(1, " ", turn);
    gen_nc_let(0, " ", step);
    append_closing_index(el_tool(el), el_indexable(el), angle);
}

// Where the control leaves the tool after a circle or arc, as the command
// reads: about the centre where the move put the tool, on the enlarged
// radius as written, at the angle reached from the start by the turn
// (degrees), both as written.
void round_end(const char *el, double start, double turn, double &x, double &y) {
    double along_x = 0.0, along_y = 0.0;
    direction_vector(written_plain(start) + written_plain(turn), along_x, along_y);
    const double reach = written_distance(el_radius(el) + RADIUS_ALLOWANCE);
    x = reached_place_x() + reach * along_x;
    y = reached_place_y() + reach * along_y;
}

// An indexed tool on a circle or arc: the user is asked to check it.
Flow confirm_indexed_round(const char *el) {
    if (el_indexable(el) != 1) return Flow::go_on;
    return from_answer(pp_wait_for_key(2, message_text(MSG_CHECK_INDEXED_NIBBLING)));
}

}  // namespace

int pp_nibble_l(double x1, double y1, double x2, double y2, char *el, double angle) {
    // ---- 1. Geometry: length, direction, step ----------------------------
    const double length = sqrt((x2 - x1) * (x2 - x1) + (y2 - y1) * (y2 - y1));
    const double direction = atan2(y2 - y1, x2 - x1) * DEGREES_PER_RADIAN;
    const double step = capped_step(el_line_pitch(el), length);

    // ---- 2. Opening: the move only when the tool is not at the start -----
    const bool away = !same_value(c_nc_x, x1) || !same_value(c_nc_y, y1);
    if (stopped(open_nibbling(el, angle, away, x1, y1))) return hook_result(Flow::stop);

    // ---- 3. "CAA/Z <length> <distance> <direction> <step>" ----------------
    nc_append("CAA/Z");
    gen_nc_let(0, " ", length);
    gen_nc_let(0, " ", COMMAND_DISTANCE);
    gen_nc_let(1, " ", direction);
    gen_nc_let(0, " ", step);

    // ---- 4. The tool ends where the length and direction as written lead, --
    // ----    from where the control has it --------------------------------
    double along_x = 0.0, along_y = 0.0;
    direction_vector(written_plain(direction), along_x, along_y);
    const double reach = written_distance(length);
    return hook_result(finish_command(reached_place_x() + reach * along_x, reached_place_y() + reach * along_y));
}

int pp_nibble_c(double xs, double ys, double xc, double yc, char *el, double angle) {
    // ---- 1. Geometry: where on the circle nibbling starts ----------------
    const double start_angle = atan2(ys - yc, xs - xc);
    const double turn = el_arc_dir(el) == 1 ? FULL_TURN_DEGREES : -FULL_TURN_DEGREES;

    // ---- 2. Opening: always a move to the centre --------------------------
    if (stopped(open_nibbling(el, angle, true, xc, yc))) return hook_result(Flow::stop);

    // ---- 3. The command; the tool ends beside the start ------------------
    const double start = cad_fmod(start_angle * DEGREES_PER_RADIAN, FULL_TURN_DEGREES);
    append_round_command(el, start, turn, el_arc_pitch(el), angle);
    double end_x = 0.0, end_y = 0.0;
    round_end(el, start, 0.0, end_x, end_y);
    if (stopped(finish_command(end_x, end_y))) return hook_result(Flow::stop);
    return hook_result(confirm_indexed_round(el));
}

int pp_nibble_a(double xs, double ys, double xe, double ye, double xc, double yc, char *el, double angle) {
    // ---- 1. Geometry: the host's start, end and sweep in the arc's sense --
    double start_angle = 0.0, end_angle = 0.0, sweep = 0.0;
    calc_sra_era_da(xs, ys, xe, ye, xc, yc, static_cast<double>(el_arc_dir(el)), &start_angle, &end_angle,
                    &sweep);
    const double step = capped_step(el_arc_pitch(el), sweep * el_radius(el) + RADIUS_ALLOWANCE);
    const double turn = (el_arc_dir(el) == 1 ? sweep : -sweep) * DEGREES_PER_RADIAN;

    // ---- 2. Opening: always a move to the centre --------------------------
    if (stopped(open_nibbling(el, angle, true, xc, yc))) return hook_result(Flow::stop);

    // ---- 3. The command; the tool ends beside the end ---------------------
    const double start = cad_fmod(start_angle * DEGREES_PER_RADIAN, FULL_TURN_DEGREES);
    append_round_command(el, start, turn, step, angle);
    double end_x = 0.0, end_y = 0.0;
    round_end(el, start, turn, end_x, end_y);
    if (stopped(finish_command(end_x, end_y))) return hook_result(Flow::stop);
    return hook_result(confirm_indexed_round(el));
}

}  // namespace pelk
