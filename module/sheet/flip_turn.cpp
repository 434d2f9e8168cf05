// pp_sheet_flip_sheet and pp_sheet_turn_sheet: the program stops so that the
// operator can flip the sheet over or turn it on the table.
//
// Before the stop the machine is brought to a safe state (nibbling off, laser
// head up, no pattern offset, index at 0, laser work ended) and the sheet to
// its load position; a comment tells the operator what to do.  Afterwards
// nothing that the module or the host remembered of the machine holds any
// more: tool, index and laser words are all written afresh.
#include "interface/host_api.h"
#include "interface/host_records.h"
#include "plugin/flow.h"
#include "plugin/hooks.h"
#include "plugin/nc_codes.h"
#include "plugin/nc_text.h"
#include "plugin/plugin_state.h"
#include "plugin/pattern_offset.h"

namespace pelk {

namespace {

// Longest host message taken into the operator comment; a longer text is cut
// there so that the comment still closes.
constexpr int MAX_COMMENT_TEXT = 200;

// No operator comment: a turn kind without a message of its own.
constexpr int NO_MESSAGE = 0;

int turn_message(int turn_kind) {
    switch (turn_kind) {
        case 0: return MSG_TURN_KIND_0;
        case 1: return MSG_TURN_KIND_1;
        case 2: return MSG_TURN_KIND_2;
        default: return NO_MESSAGE;
    }
}

// The index turned back to 0 where the tool stands, as a positioning block.
Flow write_index_home() {
    gen_nc_g(0);
    gen_nc_x_y(1, c_nc_x, c_nc_y);
    gen_nc_index(1, 0, 1, 0.0);
    gen_nc_m(M_NO_STROKE);
    if (stopped(end_block_and_flush())) return Flow::stop;
    gen_nc_n();
    return Flow::go_on;
}

// The sheet to its load position.  After a repositioning the load position
// lies shifted by all repositionings so far, and the control is then told the
// sheet's frame at the load position again ("FRM/").
Flow write_load_position() {
    const double x = c_done_repos_flag != 0 ? c_load_pos_x + current_repos_x : c_load_pos_x;
    gen_nc_x_y(1, x, c_load_pos_y);
    gen_nc_m(M_NO_STROKE);
    if (stopped(end_block_and_flush())) return Flow::stop;
    if (c_done_repos_flag != 0) {
        char load_x[256];
        gen_nc_n();
        nc_appendf("FRM/X%s", gen_nc_d_o_u(c_load_pos_x, load_x));
        if (stopped(end_block_and_flush())) return Flow::stop;
    }
    // The control takes the moves before the operator comment in a flush of
    // their own.
    return flush();
}

// The operator comment "(...)" of a host message; none for NO_MESSAGE, but
// the flush is made all the same.
Flow write_operator_comment(int message) {
    if (message != NO_MESSAGE) {
        gen_nc_n();
        nc_appendf("(%.*s)", MAX_COMMENT_TEXT, message_text(message));
        gen_nc_eob();
    }
    return flush();
}

// The whole stop for the operator, the comment's message given.
int stop_for_operator(int message) {
    // 1. Nibbling off, laser head up, no pattern offset.
    gen_nc_n();
    gen_nc_ni_off();
    gen_nc_laser_disable();
    cancel_pattern_offset();

    // 2. Index home.
    if (!same_value(c_nc_tool_a, 0.0) && stopped(write_index_home())) return 1;

    // 3. Laser work ends.
    if (c_laser_allowed == LASER_WORK_IN_USE) {
        gen_nc_m(M_LASER_WORK);
        if (stopped(end_block_and_flush())) return 1;
        gen_nc_n();
    }

    // 4. Load position.
    if (stopped(write_load_position())) return 1;

    // 5. Operator comment.
    if (stopped(write_operator_comment(message))) return 1;

    // 6. Program stop.
    gen_nc_n();
    gen_nc_m(M_OPERATOR_STOP);
    if (stopped(end_block_and_flush())) return 1;

    // 7. Nothing remembered of the machine holds: the next tool is selected
    //    again, the laser words are written again, and the next move starts
    //    from the load position.
    forget_laser_modes();
    c_nc_x = c_load_pos_x;
    c_nc_y = c_load_pos_y;
    c_nc_tool = 0;
    return 0;
}

}  // namespace

int pp_sheet_flip_sheet() { return stop_for_operator(MSG_FLIP_SHEET); }

int pp_sheet_turn_sheet(char *ev) { return stop_for_operator(turn_message(record_int(ev, EV_TURN_KIND_AT))); }

}  // namespace pelk
