// The simple sheet events: a programmed stop, the trap door, free NC text, a
// feed change, a dwell and a plain move.  Each writes its blocks and hands
// them to the writer; the tab break writes nothing (frame_hooks.cpp).
#include "interface/host_api.h"
#include "interface/host_records.h"
#include "plugin/flow.h"
#include "plugin/hooks.h"
#include "plugin/nc_codes.h"
#include "plugin/nc_text.h"
#include "plugin/pattern_offset.h"
#include "sheet/free_nc_text.h"

namespace pelk {

namespace {

// The opening of every event that writes: a new block, nibbling off, and the
// cancel of a pattern offset still in force (a block of its own that leaves
// with the event's flush).
void begin_sheet_event() {
    gen_nc_n();
    gen_nc_ni_off();
    cancel_pattern_offset();
}

}  // namespace

// M00: the control stops until the operator restarts it.
int pp_sheet_stop() {
    begin_sheet_event();
    gen_nc_m(M_OPERATOR_STOP);
    return hook_result(end_block_and_flush());
}

// The trap door opens (M55) and the sheet moves so that the finished part
// lies over it, where the door closes again (M56).  The door's place is
// taken from the position at entry.  Other kinds of trap-door event write
// nothing on this machine.
int pp_sheet_trap_door(char *ev) {
    const double door_x = c_nc_x + record_double(ev, EV_TRAP_DX_AT);
    const double door_y = c_nc_y + record_double(ev, EV_TRAP_DY_AT);
    if (record_int(ev, EV_TRAP_KIND_AT) != TRAP_DOOR_OPEN_KIND) return 0;

    begin_sheet_event();
    gen_nc_m(M_TRAP_DOOR_OPEN);
    if (stopped(end_block_and_flush())) return 1;

    gen_nc_n();
    gen_nc_x_y(0, door_x, door_y);
    gen_nc_m(M_TRAP_DOOR_CLOSE);
    return hook_result(end_block_and_flush());
}

// The user's own NC text as one block.  The text stays one line whatever the
// host passes: see free_text_as_one_block.
int pp_sheet_nc(char *ev) {
    begin_sheet_event();
    char text[EV_NC_TEXT_SIZE];
    free_text_as_one_block(ev + EV_NC_TEXT_AT, EV_NC_TEXT_SIZE, text, sizeof text);
    nc_append(text);
    return hook_result(end_block_and_flush());
}

// A feed change while punching selects the feed range (M80..M83); while the
// laser cuts it is an F word.  Only the variants with feed ranges take it.
int pp_sheet_feedrate(char *ev) {
    if (c_post_processor != VARIANT_M61X && c_post_processor != VARIANT_FORMING) return 0;
    begin_sheet_event();
    gen_nc_feedrate(FEED_IN_BLOCK, record_double(ev, EV_FEED_AT));
    return hook_result(end_block_and_flush());
}

// "DWL/X 1.5": the control waits this long before it goes on.
int pp_sheet_dwell(char *ev) {
    begin_sheet_event();
    nc_append("DWL/X");
    gen_nc_let(1, " ", record_double(ev, EV_DWELL_AT));
    return hook_result(end_block_and_flush());
}

// A plain move of the sheet, without a stroke.
int pp_sheet_move(double x, double y) {
    begin_sheet_event();
    gen_nc_x_y(0, x, y);
    gen_nc_m(M_NO_STROKE);
    return hook_result(end_block_and_flush());
}

}  // namespace pelk
