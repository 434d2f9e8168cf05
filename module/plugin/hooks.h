// hooks.h - the module's hook handlers, installed into the host's hook table
// by post_dll_set_pp_vars.  They keep the host's hook names inside the pelk
// namespace so that they never collide with the host's pp_* variables.
#pragma once

#include <stdint.h>

namespace pelk {

// ---- Frame: hooks that do nothing or only answer a constant ------------
void pp_n();
void pp_i_j();
void pp_hit_on();
void pp_ni_off();
void pp_hit_off();
int pp_grid();
int pp_laser_tech_table();
int pp_sheet_tab_break();
int pp_main_questions();

// ---- Block words --------------------------------------------------------
void pp_la_parms(uint32_t *parms);
char *pp_d_o_u(double value, char *text);
void pp_eob();
void pp_g(int g);
void pp_m(int m);
void pp_let(int plain, char *letter, double value);
void pp_x_y(int force, double x, double y);
void pp_index(int force, int spare, int indexable, double angle);
void pp_feedrate(double feed);

// ---- Program structure --------------------------------------------------
int pp_main();

// ---- Patterns: definitions, single and repeated calls --------------------
int pp_sub_begin(int pattern);
int pp_sub_end(int pattern);
int pp_sub_precode(int tool, double x, double y, double angle, int indexable);
int pp_sub_call(int tool, double x, double y, double angle, int indexable, int pattern);
int pp_sub_rep_call(int tool, double x, double y, double angle, int indexable, int pattern, double dx, double dy,
                    int count);

// ---- Punching -----------------------------------------------------------
void pp_tool(int station);
void pp_ni_on();
void pp_movement(double x, double y);
int pp_hit(double x, double y, int tool, int indexable, double angle, int spare, int flag);

// ---- Cuts, nibbling, bolt-hole circles ----------------------------------
int pp_cut(double x1, double y1, double x2, double y2, char *el, double angle);
int pp_nibble_l(double x1, double y1, double x2, double y2, char *el, double angle);
int pp_nibble_c(double xs, double ys, double xc, double yc, char *el, double angle);
int pp_nibble_a(double xs, double ys, double xe, double ye, double xc, double yc, char *el, double angle);
int pp_bolt_hole_circle(double xs, double ys, double xe, double ye, double xc, double yc, char *el, double angle);

// ---- Laser cutting --------------------------------------------------------
void pp_laser_enable();
void pp_laser_disable();
void pp_laser_on(int on_type);
void pp_laser_off(int block_open, int off_type);
int pp_laser_line(double x1, double y1, double x2, double y2, char *co);
int pp_laser_arc(double xs, double ys, double xe, double ye, double xc, double yc, int dir, char *co);

// ---- Sheet handling ------------------------------------------------------
int pp_sheet_stop();
int pp_sheet_trap_door(char *ev);
int pp_sheet_nc(char *ev);
int pp_sheet_feedrate(char *ev);
int pp_sheet_dwell(char *ev);
int pp_sheet_move(double x, double y);
int pp_sheet_reposition(char *ev);
int pp_sheet_flip_sheet();
int pp_sheet_turn_sheet(char *ev);

}  // namespace pelk
