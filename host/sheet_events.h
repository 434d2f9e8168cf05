// sheet_events.h - how the host hands the sheet events of its work to the
// module: the sheet event record built at its byte offsets, the hook called
// through the table, and the host's own bookkeeping of repositionings.
// Shared by the files of this folder only.
#pragma once

#include <string>

namespace host::detail {

// Each answers the hook's result: 0 go on, greater than 0 stop.
int run_sheet_stop();
int run_trap_door(double dx, double dy, int kind);
int run_sheet_nc(const std::string &text);   // at most EV_NC_TEXT_SIZE - 1 characters are passed
int run_sheet_feedrate(double feed);
int run_sheet_dwell(double time);
int run_sheet_move(double x, double y);
int run_tab_break();

// Re-grip at (x, y), the clamps travelling dx back along X, y_clear off the
// sheet.  After a repositioning that went out, the host counts the sheet as
// repositioned (c_done_repos_flag) and, when the control carries the shift
// (the REP/ command), adds dx to it (current_repos_x): the park and the load
// position for a flip are that far along the program's coordinates.
int run_reposition(double x, double y, double dx, double y_clear);

// After a flip or turn that went out, the operator loads the sheet again at
// the load position: the shift of earlier repositionings no longer applies.
int run_flip();
int run_turn(int kind);

}  // namespace host::detail
