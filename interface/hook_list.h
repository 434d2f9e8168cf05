// hook_list.h - the 48 hooks of the host's hook table, in installation
// order, as an X-macro: HOST_HOOKS(X) expands X(name) once per hook.
#pragma once

#define HOST_HOOKS(X)                                                              \
    X(pp_la_parms) X(pp_d_o_u) X(pp_n) X(pp_eob) X(pp_g) X(pp_m) X(pp_x_y)       \
    X(pp_tool) X(pp_index) X(pp_i_j) X(pp_let) X(pp_feedrate) X(pp_hit_on)        \
    X(pp_ni_on) X(pp_ni_off) X(pp_hit_off) X(pp_laser_enable) X(pp_laser_disable) \
    X(pp_laser_on) X(pp_laser_off) X(pp_movement) X(pp_hit) X(pp_cut)             \
    X(pp_nibble_l) X(pp_nibble_c) X(pp_nibble_a) X(pp_grid)                       \
    X(pp_bolt_hole_circle) X(pp_laser_line) X(pp_laser_arc)                       \
    X(pp_laser_tech_table) X(pp_sheet_stop) X(pp_sheet_trap_door)                 \
    X(pp_sheet_tab_break) X(pp_sheet_nc) X(pp_sheet_feedrate) X(pp_sheet_dwell)   \
    X(pp_sheet_move) X(pp_sheet_reposition) X(pp_sheet_flip_sheet)                \
    X(pp_sheet_turn_sheet) X(pp_main_questions) X(pp_main) X(pp_sub_precode)      \
    X(pp_sub_call) X(pp_sub_rep_call) X(pp_sub_begin) X(pp_sub_end)
