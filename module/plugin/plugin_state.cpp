#include "plugin/plugin_state.h"

#include <math.h>

namespace pelk {

int offset_active;
int index_forced;
int last_m61x;
int laser_par_loaded;
int laser_par_outcome;
char laser_par_lines[LASER_PAR_LINES_SIZE];
int laser_head_mode;
int laser_m7x_known;
int last_laser_m7x;
int laser_tech_known;
int last_laser_tech;
int last_laser_s;
int defining_pattern;
int pattern_being_defined;
int cutting_patterns[CUTTING_PATTERNS_SIZE];
int cutting_pattern_count;
int cutting_patterns_overflow;
int m21_m22_state;
int pending_block_kind;
char pending_block_text[PENDING_BLOCK_TEXT_SIZE];
char pending_line[LINE_RECORD_SIZE];
char pending_arc[CIRCLE_RECORD_SIZE];
double asked_x;
double asked_y;
double reached_x;
double reached_y;

void forget_reached_place() {
    // NaN equals nothing: c_nc_x never holds the value asked for.
    asked_x = NAN;
    asked_y = NAN;
    reached_x = 0.0;
    reached_y = 0.0;
}

void forget_laser_modes() {
    laser_head_mode = MODE_UNKNOWN;
    laser_m7x_known = 0;
    last_laser_m7x = MODE_UNKNOWN;
    laser_tech_known = 0;
    last_laser_tech = MODE_UNKNOWN;
    last_laser_s = 0;
}

void reset_program_state() {
    offset_active = 0;
    index_forced = 0;
    last_m61x = 0;
    laser_par_loaded = 0;
    laser_par_outcome = PAR_NOT_READ;
    laser_par_lines[0] = '\0';
    forget_laser_modes();
    defining_pattern = 0;
    pattern_being_defined = 0;
    cutting_pattern_count = 0;
    cutting_patterns_overflow = 0;
    m21_m22_state = JUNCTION_UNKNOWN;
    pending_block_kind = PENDING_NONE;
    pending_block_text[0] = '\0';
    forget_reached_place();
}

}  // namespace pelk
