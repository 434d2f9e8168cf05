/*
 * host_api.h - the host application as the pelk1 module sees it.
 *
 * Everything here is defined by the host executable and resolved when the
 * module is loaded; the module only declares it.  C types only, C linkage.
 * Any host that exports these names with these types can load the module.
 *
 * Lengths are millimetres, angles are degrees unless a comment says radians.
 * Records are byte arrays of the host, read at fixed byte offsets.
 */
#ifndef PELK_HOST_API_H
#define PELK_HOST_API_H

#include <stdint.h>
#include <stdio.h>

/* Data of the host.  A Windows module marks the data it imports from the
 * host executable (PELK_MODULE is defined when the module is built); the
 * host exports it, and everywhere else the mark is empty. */
#if defined(_WIN32) && defined(PELK_MODULE)
#define PELK_HOST_DATA __declspec(dllimport)
#else
#define PELK_HOST_DATA
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* The NC line buffer holds at least this many bytes, terminating zero
 * included.  The module never writes past this size: when a text would not
 * fit behind what is pending, it flushes the pending text first. */
#define PELK_NC_BUFF_MIN_SIZE 65536

/* ---- NC line buffer and program counters ------------------------------ */
extern PELK_HOST_DATA char c_nc_buff[];            /* NC text collected since the last flush, zero-terminated */
extern PELK_HOST_DATA int c_nc_block;              /* current block number */
extern PELK_HOST_DATA int c_line_number_inc;       /* block number increment */
extern PELK_HOST_DATA int c_nc_m;                  /* last M number written */
extern PELK_HOST_DATA int c_nc_g;                  /* current G code (only ever reset to 0) */

/* ---- Machine configuration -------------------------------------------- */
extern PELK_HOST_DATA int c_post_processor;        /* machine variant: 7000, 7001, 7002, ... */
extern PELK_HOST_DATA int c_mch_units;             /* 1 = inch machine, anything else = millimetres */
extern PELK_HOST_DATA int c_nc_EIA;                /* non-zero: EIA code, 0: ISO code */
extern PELK_HOST_DATA int c_nc_use_program_number; /* non-zero: write "O%04ld" */
extern PELK_HOST_DATA int c_program_number;        /* number of the NC program */
extern PELK_HOST_DATA int c_nc_rewind_flag;        /* non-zero: write M30 at the end */
extern PELK_HOST_DATA int c_loader_unloader;       /* unload form: 1, 2 or other */
extern PELK_HOST_DATA int c_pelk_repos_type;       /* 1: "REP/" command, other: explicit sequence */
extern PELK_HOST_DATA int c_laser_allowed;         /* 2: laser work in use (M20 blocks) */
extern PELK_HOST_DATA int c_sim_draw_type;         /* 1: walk the list ol1, other: sl */
extern PELK_HOST_DATA int c_nc_sub_type;           /* pattern style: 0 patterns at the top, 7 offset form */
extern PELK_HOST_DATA int c_nc_max_subs;           /* largest pattern number written without a warning */
extern PELK_HOST_DATA int c_clamps;                /* number of clamps */
extern PELK_HOST_DATA double c_max_feedrate;       /* maximum feed rate, reference of the feed ranges */
extern PELK_HOST_DATA double c_initial_feedrate;   /* feed rate at the start of the program */
extern PELK_HOST_DATA double c_load_pos_x;         /* sheet load position X */
extern PELK_HOST_DATA double c_load_pos_y;         /* sheet load position Y */

/* ---- Sheet -------------------------------------------------------------- */
extern PELK_HOST_DATA char c_material[];           /* material name, zero-terminated */
extern PELK_HOST_DATA char c_nes_name[];           /* nest (sheet layout) name, zero-terminated */
extern PELK_HOST_DATA double c_thickness;          /* sheet thickness */
extern PELK_HOST_DATA double c_sheet_x;            /* sheet size X */
extern PELK_HOST_DATA double c_sheet_y;            /* sheet size Y */
extern PELK_HOST_DATA int c_done_repos_flag;       /* non-zero once the sheet was repositioned */
extern PELK_HOST_DATA double current_repos_x;      /* X shift of the sheet by repositioning */
extern PELK_HOST_DATA double c_repos_y;            /* Y of the last repositioning */

/* ---- Modal NC state ----------------------------------------------------- */
extern PELK_HOST_DATA double c_nc_x;               /* current position X */
extern PELK_HOST_DATA double c_nc_y;               /* current position Y */
extern PELK_HOST_DATA double c_nc_abs_sub_x;       /* pattern origin X (sub type 7) */
extern PELK_HOST_DATA double c_nc_abs_sub_y;       /* pattern origin Y (sub type 7) */
extern PELK_HOST_DATA double c_nc_tool_a;          /* index angle last commanded, degrees */
extern PELK_HOST_DATA int c_nc_tool;               /* current turret station, 0 = none */
extern PELK_HOST_DATA int c_nc_absolute;           /* non-zero: absolute words, 0: incremental */
extern PELK_HOST_DATA int c_nc_in_sub;             /* non-zero while a pattern body is written */
extern PELK_HOST_DATA int c_last_form_flag;        /* 1 while the forming mode (M08) is on */
extern PELK_HOST_DATA int c_nc_laser_on;           /* non-zero from laser on to laser off */
extern PELK_HOST_DATA int c_nc_laser_head_down;    /* non-zero while the laser head is down */
extern PELK_HOST_DATA int c_nc_laser_off_comp;     /* compensation in force: 0 none, 1 LAL, 2 LAR */

/* ---- Tables and records ------------------------------------------------- */
extern PELK_HOST_DATA unsigned char c_tool_stations[]; /* station table: count at 0, records of 664 bytes from 12 */
extern PELK_HOST_DATA int aaa_ps1[];               /* host parameter array */
extern PELK_HOST_DATA char *c_nc_laser_tt1;        /* current laser technology record */
extern PELK_HOST_DATA char sl[];                   /* host work list (only its address is used) */
extern PELK_HOST_DATA char ol1[];                  /* host work list, alternative order */

/* ---- Hook table: filled by post_dll_set_pp_vars, called by the host ----- */
extern PELK_HOST_DATA void (*pp_la_parms)(uint32_t *parms);            /* host sets a parameter word: rewrites its bits */
extern PELK_HOST_DATA char *(*pp_d_o_u)(double value, char *text);     /* gen_nc_d_o_u: distance as number text */
extern PELK_HOST_DATA void (*pp_n)(void);                              /* gen_nc_n: block number, writes nothing */
extern PELK_HOST_DATA void (*pp_eob)(void);                            /* gen_nc_eob: appends "\r\n" */
extern PELK_HOST_DATA void (*pp_g)(int g);                             /* gen_nc_g: writes nothing, G0 resets c_nc_g */
extern PELK_HOST_DATA void (*pp_m)(int m);                             /* gen_nc_m: appends "M%02d" */
extern PELK_HOST_DATA void (*pp_x_y)(int force, double x, double y);   /* gen_nc_x_y: appends X/Y or DX/DY words */
extern PELK_HOST_DATA void (*pp_tool)(int station);                    /* gen_nc_tool: appends "T%d" on a change */
extern PELK_HOST_DATA void (*pp_index)(int force, int spare, int indexable, double angle); /* gen_nc_index: appends "C" */
extern PELK_HOST_DATA void (*pp_i_j)(void);                            /* does nothing */
extern PELK_HOST_DATA void (*pp_let)(int plain, char *letter, double value); /* gen_nc_let: letter and number */
extern PELK_HOST_DATA void (*pp_feedrate)(double feed);                /* feed generators: "F" word or M80..M83 */
extern PELK_HOST_DATA void (*pp_hit_on)(void);                         /* does nothing */
extern PELK_HOST_DATA void (*pp_ni_on)(void);                          /* gen_nc_ni_on: block "NBL/" */
extern PELK_HOST_DATA void (*pp_ni_off)(void);                         /* gen_nc_ni_off: does nothing */
extern PELK_HOST_DATA void (*pp_hit_off)(void);                        /* gen_nc_hit_off: does nothing */
extern PELK_HOST_DATA void (*pp_laser_enable)(void);                   /* gen_nc_laser_enable: LASER.PAR section */
extern PELK_HOST_DATA void (*pp_laser_disable)(void);                  /* gen_nc_laser_disable: M23 if head down */
extern PELK_HOST_DATA void (*pp_laser_on)(int on_type);                /* gen_nc_laser_on: M121..M124 blocks */
extern PELK_HOST_DATA void (*pp_laser_off)(int block_open, int off_type); /* gen_nc_laser_off: held block, LED, M23 */
extern PELK_HOST_DATA void (*pp_movement)(double x, double y);         /* host: move block with M03, no flush */
extern PELK_HOST_DATA int (*pp_hit)(double x, double y, int tool, int indexable, double angle, int spare, int flag); /* host: hit or positioning (angle in radians) */
extern PELK_HOST_DATA int (*pp_cut)(double x1, double y1, double x2, double y2, char *el, double angle); /* host: row of hits "LAA/" */
extern PELK_HOST_DATA int (*pp_nibble_l)(double x1, double y1, double x2, double y2, char *el, double angle); /* host: nibbled line */
extern PELK_HOST_DATA int (*pp_nibble_c)(double xs, double ys, double xc, double yc, char *el, double angle); /* host: nibbled circle */
extern PELK_HOST_DATA int (*pp_nibble_a)(double xs, double ys, double xe, double ye, double xc, double yc, char *el, double angle); /* host: nibbled arc */
extern PELK_HOST_DATA int (*pp_grid)(void);                            /* host: writes nothing, answers -1 */
extern PELK_HOST_DATA int (*pp_bolt_hole_circle)(double xs, double ys, double xe, double ye, double xc, double yc, char *el, double angle); /* host: "ARC/" */
extern PELK_HOST_DATA int (*pp_laser_line)(double x1, double y1, double x2, double y2, char *co); /* host: straight laser cut */
extern PELK_HOST_DATA int (*pp_laser_arc)(double xs, double ys, double xe, double ye, double xc, double yc, int dir, char *co); /* host: circular laser cut */
extern PELK_HOST_DATA int (*pp_laser_tech_table)(void);                /* gen_nc_laser_tech_table: writes nothing, 0 */
extern PELK_HOST_DATA int (*pp_sheet_stop)(void);                      /* host: M00 block */
extern PELK_HOST_DATA int (*pp_sheet_trap_door)(char *ev);             /* host: M55, M56 blocks */
extern PELK_HOST_DATA int (*pp_sheet_tab_break)(void);                 /* host: writes nothing, 0 */
extern PELK_HOST_DATA int (*pp_sheet_nc)(char *ev);                    /* host: the event's NC text as a block */
extern PELK_HOST_DATA int (*pp_sheet_feedrate)(char *ev);              /* host: feed block (7001, 7002) */
extern PELK_HOST_DATA int (*pp_sheet_dwell)(char *ev);                 /* host: "DWL/X" block */
extern PELK_HOST_DATA int (*pp_sheet_move)(double x, double y);        /* host: move block */
extern PELK_HOST_DATA int (*pp_sheet_reposition)(char *ev);            /* host: repositioning of the sheet */
extern PELK_HOST_DATA int (*pp_sheet_flip_sheet)(void);                /* host: flip the sheet */
extern PELK_HOST_DATA int (*pp_sheet_turn_sheet)(char *ev);            /* host: turn the sheet */
extern PELK_HOST_DATA int (*pp_main_questions)(void);                  /* host: asks pp_auto_processing_status, 0 */
extern PELK_HOST_DATA int (*pp_main)(void);                            /* host: the whole NC program */
extern PELK_HOST_DATA int (*pp_sub_precode)(int tool, double x, double y, double angle, int indexable); /* host: tool and position before a pattern call */
extern PELK_HOST_DATA int (*pp_sub_call)(int tool, double x, double y, double angle, int indexable, int pattern); /* host: "PAT%02ld" */
extern PELK_HOST_DATA int (*pp_sub_rep_call)(int tool, double x, double y, double angle, int indexable, int pattern, double dx, double dy, int count); /* host: "MGR/%02ld" */
extern PELK_HOST_DATA int (*pp_sub_begin)(int pattern);                /* host: "PAT%02ld/" */
extern PELK_HOST_DATA int (*pp_sub_end)(int pattern);                  /* host: "END%02ld" */

/* ---- Output services and generators ------------------------------------ */
int gen_nc_n(void);                 /* begins a block: counts c_nc_block, calls pp_n */
int gen_nc_eob(void);               /* ends a block through pp_eob */
int flush_nc_buffer(void);          /* hands c_nc_buff to the writer and empties it; > 0: stop */
void gen_nc_m(int m);
void gen_nc_g(int g);
void gen_nc_x_y(int force, double x, double y);
void gen_nc_let(int plain, const char *letter, double value);
char *gen_nc_d_o_u(double value, char *text); /* text: a buffer of at least 256 bytes */
void gen_nc_index(int force, int spare, int indexable, double angle);
void gen_nc_tool(int station);
int gen_nc_hit(char *el, double x, double y, int tool, int indexable, double angle, int hit_bits, int hit_bit);
void gen_nc_hit_off(void);
void gen_nc_ni_on(int on);
void gen_nc_ni_off(void);
void gen_nc_laser_enable(void);
void gen_nc_laser_disable(void);
void gen_nc_laser_on(int on_type);
void gen_nc_laser_off(int block_open, int off_type);
int gen_nc_laser_tech_table(int tech_number); /* points c_nc_laser_tt1 at technology n; > 0: stop */
void gen_nc_feedrate(int kind, double feed);
void gen_nc_laser_feedrate(int kind, double feed);

/* ---- Program driving ------------------------------------------------------ */
int gen_nc_output_all_subs(void *list); /* writes every pattern through the pattern hooks */
int gen_nc_short_sims(void *list);      /* walks the sheet's work; > 0: output stopped */
void init_pp_variables(void);           /* resets the host's modal NC state */
double get_clamp_pos(int i);            /* position of clamp i, counted from 0 */
int pp_auto_processing_status(void);

/* ---- Messages ------------------------------------------------------------- */
char *cmsg(int n);                      /* host message text number n */
int prerr(int kind, const char *title, const char *text, const char *detail);
int pp_wait_for_key(int kind, const char *text); /* > 0: stop */

/* ---- Turret and accounting ------------------------------------------------ */
int tool_to_turret_station(int tool);
int check_laser_tool(int tool);         /* non-zero for a laser tool */
void te_update_tool(int station, int previous);
void te_update_index(double previous, double angle);
void te_update_hit(double x, double y, int indexable, double angle);
void te_update_cut(int kind, double x1, double y1, double x2, double y2, int count, int indexable, double angle);
void te_update_bhc(int kind, double xs, double ys, double xe, double ye, double xc, double yc, double radius, double step, int count, int indexable, double angle);
void hz_make_all_forms_active(void);

/* ---- Files ---------------------------------------------------------------- */
char *get_machine_dir_str(void);        /* machine directory, no trailing separator */
int f_get_string(char *buffer, int limit, FILE *file); /* reads one line like fgets; 0 at the end */

/* ---- Geometry (records of the host) -------------------------------------- */
int line_line(char *line1, char *line2, char *point);
int line_circle(char *line, char *circle, char *point1, char *point2);
int circle_circle(char *circle1, char *circle2, char *point1, char *point2);
void calc_line(char *line);
void calc_circle(char *circle);
void calc_sra_era_da(double xs, double ys, double xe, double ye, double xc, double yc, double sense, double *start, double *end, double *sweep);
double cad_fmod(double value, double modulus);

/* ---- Number text ----------------------------------------------------------- */
void remove_zeros(char *text);          /* 12.50 -> 12.5, 12.00 -> 12. */
void remove_trailing_point(char *text); /* 12. -> 12 */

#ifdef __cplusplus
}
#endif

#endif /* PELK_HOST_API_H */
