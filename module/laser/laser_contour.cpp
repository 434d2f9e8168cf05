// pp_laser_line and pp_laser_arc: one element of a laser contour each.
//
// An element that starts where the running cut stands continues it;
// otherwise the beam is started: technology, head mode, technology words,
// compensation and a start block at the element's start.  The element's
// cutting block is then held back (held_block.cpp) until the next element
// decides its junction word, and the host's laser off ends the contour
// when the element is its last.
#include <math.h>
#include <stddef.h>
#include <stdio.h>

#include "interface/host_api.h"
#include "interface/host_records.h"
#include "laser/held_block.h"
#include "laser/laser_records.h"
#include "laser/laser_words.h"
#include "plugin/cutting_patterns.h"
#include "plugin/flow.h"
#include "plugin/hooks.h"
#include "plugin/nc_codes.h"
#include "plugin/nc_text.h"
#include "plugin/number_format.h"
#include "plugin/pattern_offset.h"
#include "plugin/plugin_state.h"
#include "plugin/written_values.h"

namespace pelk {

static constexpr double PI = 3.141592653589793;

// Every element begins a block: an offset that a pattern call left in force
// is cancelled first, so that the cut lands where the sheet says, and the
// laser parameters come once per program.
static void begin_element() {
    note_laser_element();
    gen_nc_n();
    cancel_pattern_offset();
    gen_nc_laser_enable();
}

static bool continues_cut(double x, double y) {
    return same_value(c_nc_x, x) && same_value(c_nc_y, y) && c_nc_laser_on != 0;
}

// The start sequence up to and including the start block.
static Flow start_cut(double x, double y, const char *co) {
    gen_nc_ni_off();
    gen_nc_hit_off();
    if (stopped(from_answer(gen_nc_laser_tech_table(contour_tech_number(co))))) return Flow::stop;
    gen_nc_laser_on(contour_on_type(co));
    if (stopped(write_laser_tech_words())) return Flow::stop;
    write_laser_comp_word(co);
    gen_nc_x_y(1, x, y);
    gen_nc_laser_feedrate(0, tech_feedrate());
    return end_block_flush_and_begin_next();
}

// Starts the beam unless the element continues the running cut.
static Flow start_or_continue_cut(double x, double y, const char *co) {
    if (continues_cut(x, y)) return Flow::go_on;
    return start_cut(x, y, co);
}

// Where the element's cutting block begins in the NC line buffer, and the
// position before it, so that a block that cannot be held is dropped whole.
// Room for the longest block that can be held is made first, so that no
// flush for room falls between the mark and the block's end.
struct CuttingBlockStart {
    size_t length;
    double x;
    double y;
};

static CuttingBlockStart mark_cutting_block() {
    nc_make_room(PENDING_BLOCK_TEXT_SIZE);
    return {nc_length(), c_nc_x, c_nc_y};
}

// The composed block is too long to be held: it is dropped, the position is
// put back, and the user is told why the output stops.
static Flow refuse_cutting_block(const CuttingBlockStart &start, const char *what) {
    nc_truncate(start.length);
    c_nc_x = start.x;
    c_nc_y = start.y;
    // The position through the module's own number text: printf's "%.3f"
    // would write it with the decimal separator of the host's locale.
    char x[FIXED_TEXT_MAX + 1];
    char y[FIXED_TEXT_MAX + 1];
    format_fixed(x, sizeof x, start.x, 3);
    format_fixed(y, sizeof y, start.y, 3);
    char detail[2 * FIXED_TEXT_MAX + 128];
    snprintf(detail, sizeof detail, "%s from X%s Y%s: held block longer than %d bytes",
             what, x, y, PENDING_BLOCK_TEXT_SIZE - 1);
    prerr(1, "", "laser cutting block too long", detail);
    return Flow::stop;
}

// Hands the block on and ends the element: flush, laser off, flush.
static Flow finish_element(const char *co) {
    if (stopped(flush())) return Flow::stop;
    gen_nc_laser_off(0, contour_off_type(co));
    return flush();
}

int pp_laser_line(double x1, double y1, double x2, double y2, char *co) {
    begin_element();
    if (stopped(start_or_continue_cut(x1, y1, co))) return hook_result(Flow::stop);

    const CuttingBlockStart start = mark_cutting_block();
    gen_nc_x_y(0, x2, y2);
    gen_nc_laser_feedrate(0, tech_feedrate());
    gen_nc_eob();

    char line[LINE_RECORD_SIZE] = {};
    record_put_int(line, GEO_KIND_AT, GEO_KIND_LINE);
    record_put_double(line, LINE_X1_AT, x1);
    record_put_double(line, LINE_Y1_AT, y1);
    record_put_double(line, LINE_X2_AT, x2);
    record_put_double(line, LINE_Y2_AT, y2);
    calc_line(line);
    if (stopped(hold_laser_block(PENDING_LINE, line, nullptr))) {
        return hook_result(refuse_cutting_block(start, "laser line"));
    }
    return hook_result(finish_element(co));
}

int pp_laser_arc(double xs, double ys, double xe, double ye, double xc, double yc, int dir,
                 char *co) {
    const double r = sqrt((xs - xc) * (xs - xc) + (ys - yc) * (ys - yc));
    double start_angle = 0.0;
    double end_angle = 0.0;
    double sweep = 0.0;
    calc_sra_era_da(xs, ys, xe, ye, xc, yc, dir == 1 ? 1.0 : -1.0, &start_angle, &end_angle,
                    &sweep);

    begin_element();
    if (stopped(start_or_continue_cut(xs, ys, co))) return hook_result(Flow::stop);

    const CuttingBlockStart start = mark_cutting_block();
    if (same_value(xe, xs) && same_value(ye, ys)) {
        nc_append("CIR/");
        gen_nc_let(0, "", xc);
        gen_nc_let(0, " ", yc);
        gen_nc_let(1, " ", dir == 1 ? 360.0 : -360.0);
    } else {
        nc_append(dir == 1 ? "LCI/L" : "LCI/R");
        gen_nc_let(0, " ", xe);
        gen_nc_let(0, " ", ye);
        // Beyond a half turn the control takes the radius negative.
        gen_nc_let(0, " ", sweep - PI < 1e-6 ? r : -r);
    }
    gen_nc_laser_feedrate(0, tech_feedrate());
    gen_nc_eob();
    // The control leaves the head at the arc's end as written; no coordinate
    // hook ran.
    place_tool_as_written(xe, ye);

    char circle[CIRCLE_RECORD_SIZE] = {};
    record_put_int(circle, GEO_KIND_AT, GEO_KIND_CIRCLE);
    record_put_double(circle, CIRCLE_XC_AT, xc);
    record_put_double(circle, CIRCLE_YC_AT, yc);
    record_put_double(circle, CIRCLE_R_AT, r);
    record_put_double(circle, CIRCLE_XS_AT, xs);
    record_put_double(circle, CIRCLE_YS_AT, ys);
    record_put_double(circle, CIRCLE_XE_AT, xe);
    record_put_double(circle, CIRCLE_YE_AT, ye);
    record_put_int(circle, CIRCLE_DIR_AT, dir);
    calc_circle(circle);
    if (stopped(hold_laser_block(PENDING_ARC, nullptr, circle))) {
        return hook_result(refuse_cutting_block(start, "laser arc"));
    }
    return hook_result(finish_element(co));
}

}  // namespace pelk
