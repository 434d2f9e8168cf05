/*
 * plain_c_host.c - the smallest host there is: plain C, none of the project's
 * host code.  It defines every name of the host interface itself, loads the
 * module given on the command line with dlopen, installs its hooks and lets
 * it write a short program with one hit.  It shows that any host exporting
 * these names with these types can load the module.
 *
 * Usage: plain_c_host MODULE.so   (exit 0 when the program came out right)
 */
#include <dlfcn.h>
#include <math.h>
#include <stdio.h>
#include <string.h>

#include "interface/host_api.h"
#include "interface/host_records.h"

/* ---- Variables ----------------------------------------------------------- */
char c_nc_buff[PELK_NC_BUFF_MIN_SIZE];
int c_nc_block, c_line_number_inc, c_nc_m, c_nc_g;
int c_post_processor, c_mch_units, c_nc_EIA, c_nc_use_program_number, c_program_number;
int c_nc_rewind_flag, c_loader_unloader, c_pelk_repos_type, c_laser_allowed, c_sim_draw_type;
int c_nc_sub_type, c_nc_max_subs, c_clamps;
double c_max_feedrate, c_initial_feedrate, c_load_pos_x, c_load_pos_y;
char c_material[64], c_nes_name[128];
double c_thickness, c_sheet_x, c_sheet_y;
int c_done_repos_flag;
double current_repos_x, c_repos_y;
double c_nc_x, c_nc_y, c_nc_abs_sub_x, c_nc_abs_sub_y, c_nc_tool_a;
int c_nc_tool, c_nc_absolute, c_nc_in_sub, c_last_form_flag;
int c_nc_laser_on, c_nc_laser_head_down, c_nc_laser_off_comp;
unsigned char c_tool_stations[STATION_RECORD_FIRST + STATION_RECORD_SIZE];
int aaa_ps1[16];
char *c_nc_laser_tt1;
char sl[16], ol1[16];

/* ---- Hook table ------------------------------------------------------------ */
void (*pp_la_parms)(uint32_t *);
char *(*pp_d_o_u)(double, char *);
void (*pp_n)(void);
void (*pp_eob)(void);
void (*pp_g)(int);
void (*pp_m)(int);
void (*pp_x_y)(int, double, double);
void (*pp_tool)(int);
void (*pp_index)(int, int, int, double);
void (*pp_i_j)(void);
void (*pp_let)(int, char *, double);
void (*pp_feedrate)(double);
void (*pp_hit_on)(void);
void (*pp_ni_on)(void);
void (*pp_ni_off)(void);
void (*pp_hit_off)(void);
void (*pp_laser_enable)(void);
void (*pp_laser_disable)(void);
void (*pp_laser_on)(int);
void (*pp_laser_off)(int, int);
void (*pp_movement)(double, double);
int (*pp_hit)(double, double, int, int, double, int, int);
int (*pp_cut)(double, double, double, double, char *, double);
int (*pp_nibble_l)(double, double, double, double, char *, double);
int (*pp_nibble_c)(double, double, double, double, char *, double);
int (*pp_nibble_a)(double, double, double, double, double, double, char *, double);
int (*pp_grid)(void);
int (*pp_bolt_hole_circle)(double, double, double, double, double, double, char *, double);
int (*pp_laser_line)(double, double, double, double, char *);
int (*pp_laser_arc)(double, double, double, double, double, double, int, char *);
int (*pp_laser_tech_table)(void);
int (*pp_sheet_stop)(void);
int (*pp_sheet_trap_door)(char *);
int (*pp_sheet_tab_break)(void);
int (*pp_sheet_nc)(char *);
int (*pp_sheet_feedrate)(char *);
int (*pp_sheet_dwell)(char *);
int (*pp_sheet_move)(double, double);
int (*pp_sheet_reposition)(char *);
int (*pp_sheet_flip_sheet)(void);
int (*pp_sheet_turn_sheet)(char *);
int (*pp_main_questions)(void);
int (*pp_main)(void);
int (*pp_sub_precode)(int, double, double, double, int);
int (*pp_sub_call)(int, double, double, double, int, int);
int (*pp_sub_rep_call)(int, double, double, double, int, int, double, double, int);
int (*pp_sub_begin)(int);
int (*pp_sub_end)(int);

/* ---- Output: everything flushed, in one buffer ---------------------------- */
static char program[8192];

int flush_nc_buffer(void) {
    size_t used = strlen(program), add = strlen(c_nc_buff);
    if (used + add >= sizeof program) return 1;
    memcpy(program + used, c_nc_buff, add + 1);
    c_nc_buff[0] = '\0';
    return 0;
}

/* ---- Generators: each leads to its hook ------------------------------------ */
int gen_nc_n(void) { c_nc_block += c_line_number_inc; pp_n(); return 0; }
int gen_nc_eob(void) { pp_eob(); return 0; }
void gen_nc_m(int m) { pp_m(m); }
void gen_nc_g(int g) { pp_g(g); }
void gen_nc_x_y(int force, double x, double y) { pp_x_y(force, x, y); }
void gen_nc_let(int plain, const char *letter, double value) {
    char copy[16];
    snprintf(copy, sizeof copy, "%s", letter);
    pp_let(plain, copy, value);
}
char *gen_nc_d_o_u(double value, char *text) { return pp_d_o_u(value, text); }
void gen_nc_index(int force, int spare, int indexable, double angle) {
    size_t before = strlen(c_nc_buff);
    pp_index(force, spare, indexable, angle);
    if (strlen(c_nc_buff) > before) c_nc_tool_a = angle;
}
void gen_nc_tool(int station) { pp_tool(station); }
int gen_nc_hit(char *el, double x, double y, int tool, int indexable, double angle, int bits, int bit) {
    (void)el; (void)bits; (void)bit;
    return pp_hit(x, y, tool, indexable, angle, 0, 0);
}
void gen_nc_hit_off(void) { pp_hit_off(); }
void gen_nc_ni_on(int on) { (void)on; pp_ni_on(); }
void gen_nc_ni_off(void) { pp_ni_off(); }
void gen_nc_laser_enable(void) { pp_laser_enable(); }
void gen_nc_laser_disable(void) { pp_laser_disable(); }
void gen_nc_laser_on(int on_type) { pp_laser_on(on_type); c_nc_laser_on = 1; c_nc_laser_head_down = 1; }
void gen_nc_laser_off(int block_open, int off_type) {
    pp_laser_off(block_open, off_type);
    if (off_type != 0) c_nc_laser_on = 0;
    if (off_type >= 2) c_nc_laser_head_down = 0;
}
int gen_nc_laser_tech_table(int tech_number) { (void)tech_number; return pp_laser_tech_table(); }
void gen_nc_feedrate(int kind, double feed) { (void)kind; pp_feedrate(feed); }
void gen_nc_laser_feedrate(int kind, double feed) { (void)kind; pp_feedrate(feed); }

/* ---- Program driving: the body is one hit of tool 5 ------------------------ */
int gen_nc_output_all_subs(void *list) { (void)list; return 0; }
int gen_nc_short_sims(void *list) { return list == sl ? pp_hit(10, 20, 5, 0, 0.0, 0, 0) : 1; }
void init_pp_variables(void) {
    c_nc_tool = 0; c_nc_tool_a = 0; c_nc_absolute = 1; c_nc_in_sub = 0;
    c_nc_laser_on = 0; c_nc_laser_head_down = 0; c_nc_laser_off_comp = 0;
}
double get_clamp_pos(int i) { (void)i; return 0.0; }
int pp_auto_processing_status(void) { return 0; }

/* ---- Messages, turret, accounting, files ------------------------------------ */
char *cmsg(int n) { static char text[32]; snprintf(text, sizeof text, n == 863 ? "SHEET" : "message %d", n); return text; }
int prerr(int kind, const char *title, const char *text, const char *detail) {
    fprintf(stderr, "error %d: %s %s %s\n", kind, title, text, detail);
    return 0;
}
int pp_wait_for_key(int kind, const char *text) { fprintf(stderr, "warning %d: %s\n", kind, text); return 0; }
int tool_to_turret_station(int tool) { return tool == 5 ? 2 : 0; }
int check_laser_tool(int tool) { (void)tool; return 0; }
void te_update_tool(int station, int previous) { (void)station; (void)previous; }
void te_update_index(double previous, double angle) { (void)previous; (void)angle; }
void te_update_hit(double x, double y, int indexable, double angle) { (void)x; (void)y; (void)indexable; (void)angle; }
void te_update_cut(int k, double x1, double y1, double x2, double y2, int n, int i, double a) {
    (void)k; (void)x1; (void)y1; (void)x2; (void)y2; (void)n; (void)i; (void)a;
}
void te_update_bhc(int k, double xs, double ys, double xe, double ye, double xc, double yc, double r, double s, int n,
                   int i, double a) {
    (void)k; (void)xs; (void)ys; (void)xe; (void)ye; (void)xc; (void)yc; (void)r; (void)s; (void)n; (void)i; (void)a;
}
void hz_make_all_forms_active(void) {}
char *get_machine_dir_str(void) { static char dir[] = "."; return dir; }
int f_get_string(char *buffer, int limit, FILE *file) { return fgets(buffer, limit, file) != NULL; }

/* ---- Geometry (not reached by this program) ------------------------------- */
int line_line(char *a, char *b, char *p) { (void)a; (void)b; (void)p; return 1; }
int line_circle(char *l, char *c, char *p, char *q) { (void)l; (void)c; (void)p; (void)q; return 2; }
int circle_circle(char *a, char *b, char *p, char *q) { (void)a; (void)b; (void)p; (void)q; return 2; }
void calc_line(char *line) { (void)line; }
void calc_circle(char *circle) { (void)circle; }
void calc_sra_era_da(double xs, double ys, double xe, double ye, double xc, double yc, double sense, double *start,
                     double *end, double *sweep) {
    (void)sense;
    *start = atan2(ys - yc, xs - xc);
    *end = atan2(ye - yc, xe - xc);
    *sweep = 0.0;
}
double cad_fmod(double value, double modulus) { return fmod(value, modulus); }

/* ---- Number text ------------------------------------------------------------ */
void remove_zeros(char *text) {
    char *point = strchr(text, '.');
    if (point == NULL) return;
    size_t n = strlen(text);
    while (n > (size_t)(point - text) + 1 && text[n - 1] == '0') text[--n] = '\0';
}
void remove_trailing_point(char *text) {
    size_t n = strlen(text);
    if (n > 0 && text[n - 1] == '.') text[n - 1] = '\0';
}

int main(int argc, char **argv) {
    if (argc != 2) {
        fprintf(stderr, "usage: plain_c_host MODULE.so\n");
        return 2;
    }
    void *module = dlopen(argv[1], RTLD_NOW | RTLD_LOCAL);
    if (module == NULL) {
        fprintf(stderr, "cannot load %s: %s\n", argv[1], dlerror());
        return 1;
    }
    void (*install)(void);
    *(void **)&install = dlsym(module, "post_dll_set_pp_vars");
    if (install == NULL) {
        fprintf(stderr, "%s has no post_dll_set_pp_vars\n", argv[1]);
        return 1;
    }
    install();
    if (pp_main == NULL || pp_hit == NULL || pp_x_y == NULL || pp_d_o_u == NULL) {
        fprintf(stderr, "the module left hooks unset\n");
        return 1;
    }

    c_post_processor = 7000;
    c_nc_use_program_number = 1;
    c_program_number = 7;
    c_nc_rewind_flag = 1;
    c_line_number_inc = 1;
    snprintf(c_material, sizeof c_material, "ST37 (3)");
    snprintf(c_nes_name, sizeof c_nes_name, "N");
    c_thickness = 2;
    c_sheet_x = 100;
    c_sheet_y = 50;
    int count = 1, tool = 5, station = 2;
    memcpy(c_tool_stations + STATION_COUNT_AT, &count, sizeof count);
    memcpy(c_tool_stations + STATION_RECORD_FIRST + STATION_TOOL_AT, &tool, sizeof tool);
    memcpy(c_tool_stations + STATION_RECORD_FIRST + STATION_NUMBER_AT, &station, sizeof station);

    const char *expected = "% \r\nO0007\r\n(N)\r\n(SHEET - 2 X 100 Y 50)\r\n()\r\nX10Y20T2\r\nX0Y0M03\r\nM30\r\n%";
    int result = pp_main();
    if (result != 0 || strcmp(program, expected) != 0) {
        fprintf(stderr, "pp_main answered %d and wrote:\n%s\nexpected:\n%s\n", result, program, expected);
        return 1;
    }
    printf("the module wrote the expected program in a plain C host\n");
    return 0;
}
