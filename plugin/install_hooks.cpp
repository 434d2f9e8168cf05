// The module's one export: it stores the handlers into the host's hook
// table, in the order of the table, and touches nothing else.
#include "interface/host_api.h"
#include "plugin/hooks.h"

extern "C" __attribute__((visibility("default"))) void post_dll_set_pp_vars(void) {
    ::pp_la_parms = &pelk::pp_la_parms;
    ::pp_d_o_u = &pelk::pp_d_o_u;
    ::pp_n = &pelk::pp_n;
    ::pp_eob = &pelk::pp_eob;
    ::pp_g = &pelk::pp_g;
    ::pp_m = &pelk::pp_m;
    ::pp_x_y = &pelk::pp_x_y;
    ::pp_tool = &pelk::pp_tool;
    ::pp_index = &pelk::pp_index;
    ::pp_i_j = &pelk::pp_i_j;
    ::pp_let = &pelk::pp_let;
    ::pp_feedrate = &pelk::pp_feedrate;
    ::pp_hit_on = &pelk::pp_hit_on;
    ::pp_ni_on = &pelk::pp_ni_on;
    ::pp_ni_off = &pelk::pp_ni_off;
    ::pp_hit_off = &pelk::pp_hit_off;
    ::pp_laser_enable = &pelk::pp_laser_enable;
    ::pp_laser_disable = &pelk::pp_laser_disable;
    ::pp_laser_on = &pelk::pp_laser_on;
    ::pp_laser_off = &pelk::pp_laser_off;
    ::pp_movement = &pelk::pp_movement;
    ::pp_hit = &pelk::pp_hit;
    ::pp_grid = &pelk::pp_grid;
    ::pp_laser_line = &pelk::pp_laser_line;
    ::pp_laser_arc = &pelk::pp_laser_arc;
    ::pp_laser_tech_table = &pelk::pp_laser_tech_table;
    // ---- Sheet handling ----
    ::pp_sheet_stop = &pelk::pp_sheet_stop;
    ::pp_sheet_trap_door = &pelk::pp_sheet_trap_door;
    ::pp_sheet_tab_break = &pelk::pp_sheet_tab_break;
    ::pp_sheet_nc = &pelk::pp_sheet_nc;
    ::pp_sheet_feedrate = &pelk::pp_sheet_feedrate;
    ::pp_sheet_dwell = &pelk::pp_sheet_dwell;
    ::pp_sheet_move = &pelk::pp_sheet_move;
    ::pp_sheet_reposition = &pelk::pp_sheet_reposition;
    ::pp_sheet_flip_sheet = &pelk::pp_sheet_flip_sheet;
    ::pp_sheet_turn_sheet = &pelk::pp_sheet_turn_sheet;
    // ---- end of sheet handling ----
    ::pp_main_questions = &pelk::pp_main_questions;
    ::pp_main = &pelk::pp_main;
    // ---- Cuts, nibbling, bolt-hole circles ----
    ::pp_cut = &pelk::pp_cut;
    ::pp_nibble_l = &pelk::pp_nibble_l;
    ::pp_nibble_c = &pelk::pp_nibble_c;
    ::pp_nibble_a = &pelk::pp_nibble_a;
    ::pp_bolt_hole_circle = &pelk::pp_bolt_hole_circle;
}
