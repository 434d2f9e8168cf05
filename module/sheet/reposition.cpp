// pp_sheet_reposition: the clamps let go of the sheet and grip it again
// further along X, so that work beyond their reach comes within it.
//
// The sheet is first brought to the place of the re-grip.  A control with the
// "REP/" command then does the rest itself; otherwise the sequence is written
// out: clamps open (M41), the clamps travel clear of the sheet in Y, back
// along X by the distance and into the sheet again, in incremental words,
// then clamps closed (M42).
#include "interface/host_api.h"
#include "interface/host_records.h"
#include "plugin/flow.h"
#include "plugin/hooks.h"
#include "plugin/nc_codes.h"
#include "plugin/nc_text.h"
#include "plugin/pattern_offset.h"

namespace pelk {

namespace {

// What the host's record says about one repositioning.
struct Regrip {
    double x, y;     // where the sheet is re-gripped
    double dx;       // how far the clamps travel back along X
    double y_clear;  // how far they move off the sheet in Y while they travel
};

Regrip read_regrip(const char *ev) {
    return {record_double(ev, EV_REPOS_X_AT), record_double(ev, EV_REPOS_Y_AT), record_double(ev, EV_REPOS_DX_AT),
            record_double(ev, EV_REPOS_Y_CLEAR_AT)};
}

// One block of a move, ended and flushed; only the words that change.
Flow write_move(double x, double y) {
    gen_nc_n();
    gen_nc_x_y(0, x, y);
    return end_block_and_flush();
}

// An M word as a block of its own.
Flow write_m_block(int m) {
    gen_nc_n();
    gen_nc_m(m);
    return end_block_and_flush();
}

Flow write_rep_command(const Regrip &r) {
    char distance[256];
    gen_nc_n();
    nc_appendf("REP/DX%s", gen_nc_d_o_u(r.dx, distance));
    return end_block_and_flush();
}

// Clamps open, travel clear of the sheet, back by dx, into the sheet again,
// clamps closed.  The three moves are incremental words.
Flow write_explicit_sequence(const Regrip &r) {
    if (stopped(write_m_block(M_REPOSITION_BEGIN))) return Flow::stop;
    c_nc_absolute = 0;
    if (stopped(write_move(r.x, r.y + r.y_clear))) return Flow::stop;
    if (stopped(write_move(r.x - r.dx, r.y + r.y_clear))) return Flow::stop;
    if (stopped(write_move(r.x - r.dx, r.y))) return Flow::stop;
    c_nc_absolute = 1;
    return write_m_block(M_REPOSITION_END);
}

Flow write_reposition(const Regrip &r) {
    // 1. Laser head up, nibbling off, no pattern offset.
    gen_nc_n();
    gen_nc_laser_disable();
    gen_nc_ni_off();
    cancel_pattern_offset();

    // 2. To the place of the re-grip.
    gen_nc_x_y(0, r.x, r.y);
    gen_nc_m(M_NO_STROKE);
    if (stopped(end_block_and_flush())) return Flow::stop;

    // 3. The repositioning itself.
    if (c_pelk_repos_type == REPOSITION_BY_COMMAND) return write_rep_command(r);
    return write_explicit_sequence(r);
}

}  // namespace

// The words of this hook are never relative to a pattern origin: the pattern
// style is set aside while it writes and given back afterwards.  When the
// writer refused, the pattern style and the word mode that the explicit
// sequence borrows are both given back as they were: the host's settings are
// not the hook's to keep, even on a program that stops.
int pp_sheet_reposition(char *ev) {
    const int pattern_style = c_nc_sub_type;
    const int absolute = c_nc_absolute;
    c_nc_sub_type = PATTERN_STYLE_PLAIN;

    const Flow flow = write_reposition(read_regrip(ev));

    c_nc_sub_type = pattern_style;
    if (stopped(flow)) {
        c_nc_absolute = absolute;
        return 1;
    }
    c_repos_y = 0.0;
    return 0;
}

}  // namespace pelk
