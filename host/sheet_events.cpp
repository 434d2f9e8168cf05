// sheet_events.cpp - the sheet events of the host's work: records, hook
// calls and the repositioning bookkeeping.
#include "host/sheet_events.h"


#include "host/event_record.h"
#include "host/trace.h"
#include "job/job.h"
#include "interface/host_api.h"
#include "interface/host_records.h"

namespace {

using host::EventRecord;

static_assert(job::MAX_NC_TEXT_LENGTH < EV_NC_TEXT_SIZE, "a free NC text does not fit the sheet event record");

// The host forgets the repositionings of the sheet once it is loaded anew.
void sheet_loaded_again() {
    c_done_repos_flag = 0;
    current_repos_x = 0.0;
}

}  // namespace

namespace host::detail {

int run_sheet_stop() {
    const int result = (*pp_sheet_stop)();
    HOST_TRACE("pp_sheet_stop() -> %d", result);
    return result;
}

int run_trap_door(double dx, double dy, int kind) {
    EventRecord ev;
    ev.put(EV_TRAP_DX_AT, dx).put(EV_TRAP_DY_AT, dy).put(EV_TRAP_KIND_AT, kind);
    const int result = (*pp_sheet_trap_door)(ev.bytes);
    HOST_TRACE("pp_sheet_trap_door(ev: dx %.10g, dy %.10g, kind %d) -> %d", dx, dy, kind, result);
    return result;
}

int run_sheet_nc(const std::string &text) {
    EventRecord ev;
    ev.put_text(text);
    const int result = (*pp_sheet_nc)(ev.bytes);
    HOST_TRACE("pp_sheet_nc(ev: text %s) -> %d", host::trace::quoted(ev.bytes + EV_NC_TEXT_AT), result);
    return result;
}

int run_sheet_feedrate(double feed) {
    EventRecord ev;
    ev.put(EV_FEED_AT, feed);
    const int result = (*pp_sheet_feedrate)(ev.bytes);
    HOST_TRACE("pp_sheet_feedrate(ev: feed %.10g) -> %d", feed, result);
    return result;
}

int run_sheet_dwell(double time) {
    EventRecord ev;
    ev.put(EV_DWELL_AT, time);
    const int result = (*pp_sheet_dwell)(ev.bytes);
    HOST_TRACE("pp_sheet_dwell(ev: time %.10g) -> %d", time, result);
    return result;
}

int run_sheet_move(double x, double y) {
    const int result = (*pp_sheet_move)(x, y);
    HOST_TRACE("pp_sheet_move(%.10g, %.10g) -> %d", x, y, result);
    return result;
}

int run_tab_break() {
    const int result = (*pp_sheet_tab_break)();
    HOST_TRACE("pp_sheet_tab_break() -> %d", result);
    return result;
}

int run_reposition(double x, double y, double dx, double y_clear) {
    EventRecord ev;
    ev.put(EV_REPOS_X_AT, x).put(EV_REPOS_Y_AT, y).put(EV_REPOS_DX_AT, dx).put(EV_REPOS_Y_CLEAR_AT, y_clear);
    c_repos_y = y;
    const int result = (*pp_sheet_reposition)(ev.bytes);
    HOST_TRACE("pp_sheet_reposition(ev: x %.10g, y %.10g, dx %.10g, y clear %.10g) -> %d", x, y, dx, y_clear,
               result);
    if (result == 0) {
        c_done_repos_flag = 1;
        // REP/ makes the control carry the shift: the program's coordinates
        // stay the sheet's, and the machine's load position lies dx further
        // along the sheet each time.  The explicit sequence moves the open
        // clamps with the axes: the control's coordinates stay the
        // machine's, and the load position stays where it was.
        if (c_pelk_repos_type == 1) current_repos_x += dx;
    }
    return result;
}

int run_flip() {
    const int result = (*pp_sheet_flip_sheet)();
    HOST_TRACE("pp_sheet_flip_sheet() -> %d", result);
    if (result == 0) sheet_loaded_again();
    return result;
}

int run_turn(int kind) {
    EventRecord ev;
    ev.put(EV_TURN_KIND_AT, kind);
    const int result = (*pp_sheet_turn_sheet)(ev.bytes);
    HOST_TRACE("pp_sheet_turn_sheet(ev: kind %d) -> %d", kind, result);
    if (result == 0) sheet_loaded_again();
    return result;
}

}  // namespace host::detail
