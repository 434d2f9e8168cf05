#include "plugin/plugin_state.h"

namespace pelk {

int offset_active;
int index_forced;
int last_m61x;
int laser_par_loaded;
int laser_head_mode;
int last_laser_m7x;
int last_laser_tech;
int m21_m22_state;
int pending_block_kind;
char pending_block_text[PENDING_BLOCK_TEXT_SIZE];
char pending_line[LINE_RECORD_SIZE];
char pending_arc[CIRCLE_RECORD_SIZE];

}  // namespace pelk
