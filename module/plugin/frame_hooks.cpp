// Hooks that write nothing in this dialect: the block number, the I/J words,
// the hit and nibbling modes, and the hooks that only answer a constant.
#include "plugin/hooks.h"
#include "interface/host_api.h"

namespace pelk {

void pp_n() {}
void pp_i_j() {}
void pp_hit_on() {}
void pp_ni_off() {}
void pp_hit_off() {}

int pp_grid() { return -1; }
int pp_laser_tech_table() { return 0; }
int pp_sheet_tab_break() { return 0; }

int pp_main_questions() {
    (void)pp_auto_processing_status();
    return 0;
}

}  // namespace pelk
