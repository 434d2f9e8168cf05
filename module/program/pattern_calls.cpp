// Calls of a pattern: a single call ("PATnn") after a positioning block or,
// in the offset style, after an offset block "OFS/"; and a repeated call in
// a straight row ("MGR/nn" with direction, pitch and copies per axis) after
// an offset block one pitch before the first copy.
#include <math.h>
#include <stdio.h>
#include <string.h>

#include "interface/host_api.h"
#include "plugin/cutting_patterns.h"
#include "plugin/flow.h"
#include "plugin/hooks.h"
#include "plugin/nc_codes.h"
#include "plugin/nc_text.h"
#include "plugin/plugin_state.h"
#include "plugin/pattern_offset.h"
#include "program/patterns.h"
#include "punch/tool_change.h"

namespace pelk {

namespace {

// Puts the pattern's tool in place ahead of an offset block.  A laser tool
// only gets the laser parameters.  A punch gets a block of its own at the
// current position, with the tool word and the index word, when the station
// changes or an indexable tool must turn; the block is not flushed, it goes
// out with the offset block.
void write_pattern_tool_step(int tool, double angle, int indexable) {
    gen_nc_n();
    if (check_laser_tool(tool) != 0) {
        gen_nc_laser_enable();
        return;
    }
    gen_nc_laser_disable();
    const int station = tool_to_turret_station(tool);
    const bool index_turns = indexable == 1 && !same_value(angle, c_nc_tool_a);
    if (station == c_nc_tool && !index_turns) return;

    prepare_tool_change(station);
    cancel_pattern_offset();
    gen_nc_x_y(1, c_nc_x, c_nc_y);
    gen_nc_tool(station);
    gen_nc_index(1, 0, indexable, angle);
    gen_nc_m(M_NO_STROKE);
    gen_nc_eob();
    gen_nc_n();
}

// Positioning style: the tool goes to the pattern position, with its tool
// and index words, in a block of its own.  An offset that a repeated call
// left in force is cancelled first: the block's words are absolute.
Flow position_for_call(int tool, double x, double y, double angle, int indexable) {
    gen_nc_n();
    const bool laser = check_laser_tool(tool) != 0;
    int station = 0;
    if (laser) {
        gen_nc_laser_enable();
    } else {
        gen_nc_laser_disable();
        station = tool_to_turret_station(tool);
        prepare_tool_change(station);
    }
    cancel_pattern_offset();

    gen_nc_x_y(1, x, y);
    if (!laser) {
        gen_nc_tool(station);
        gen_nc_index(1, 0, indexable, angle);
    }
    gen_nc_m(M_NO_STROKE);
    gen_nc_eob();
    gen_nc_n();
    return flush();
}

// Offset style: the pattern origin becomes (x, y) on the control.
Flow offset_for_call(int tool, double x, double y, double angle, int indexable) {
    write_pattern_tool_step(tool, angle, indexable);
    nc_append("OFS/");
    gen_nc_x_y(1, x, y);
    gen_nc_eob();
    gen_nc_n();
    if (stopped(flush())) return Flow::stop;
    offset_active = 1;
    return Flow::go_on;
}

// One axis of the repeat line: " L"/" R" (or " D"/" U"), the pitch without
// its sign and the copies.  An axis whose pitch is within 1e-6 of zero is
// left out.
void add_repeat_axis(char *line, size_t size, double pitch, char towards_negative, char towards_positive,
                     int count) {
    if (same_value(pitch, 0.0)) return;
    char distance[256];
    gen_nc_d_o_u(fabs(pitch), distance);
    const size_t used = strnlen(line, size);
    snprintf(line + used, size - used, " %c %s %d", pitch < 0.0 ? towards_negative : towards_positive, distance,
             count);
}

}  // namespace

int pp_sub_precode(int tool, double x, double y, double angle, int indexable) {
    const Flow flow = c_nc_sub_type == SUB_TYPE_OFFSET ? offset_for_call(tool, x, y, angle, indexable)
                                                       : position_for_call(tool, x, y, angle, indexable);
    return hook_result(flow);
}

int pp_sub_call(int tool, double x, double y, double angle, int indexable, int pattern) {
    // A call line without the positioning ahead of it would run the pattern
    // wherever the tool happens to stand: stop with the writer.
    if (pp_sub_precode(tool, x, y, angle, indexable) != 0) return 1;
    nc_append_int("PAT", shown_pattern_number(pattern), 2);
    if (stopped(end_block_and_flush())) return 1;
    if (pattern_may_cut(pattern)) forget_laser_modes();  // the copy cuts with words of its own
    return 0;
}

int pp_sub_rep_call(int tool, double x, double y, double angle, int indexable, int pattern, double dx, double dy,
                    int count) {
    // 1. Without a pitch there is nothing to repeat: a single call.
    if (same_value(dx, 0.0) && same_value(dy, 0.0)) return pp_sub_call(tool, x, y, angle, indexable, pattern);

    // 2. The pattern's tool in place.
    write_pattern_tool_step(tool, angle, indexable);

    // 3. The first copy becomes the current position; the control gets no
    //    words for it, the offset block below places the row.  (Room first,
    //    so that no flush for room falls between the mark and the cut.)
    nc_make_room(BLOCK_TEXT_SIZE);
    const size_t before = nc_length();
    gen_nc_x_y(1, x, y);
    nc_truncate(before);

    // 4. Offset block one pitch before the first copy.
    nc_append("OFS/");
    gen_nc_let(0, "X", x - dx);
    gen_nc_let(0, "Y", y - dy);
    gen_nc_eob();
    gen_nc_n();
    if (stopped(flush())) return 1;
    offset_active = 1;

    // 5. Repeat line.
    char line[BLOCK_TEXT_SIZE];
    snprintf(line, sizeof line, "MGR/%02lld", shown_pattern_number(pattern));
    add_repeat_axis(line, sizeof line, dx, 'L', 'R', count);
    add_repeat_axis(line, sizeof line, dy, 'D', 'U', count);
    nc_append(line);
    if (stopped(end_block_and_flush())) return 1;
    if (pattern_may_cut(pattern)) forget_laser_modes();  // the copies cut with words of their own
    return 0;
}

}  // namespace pelk
