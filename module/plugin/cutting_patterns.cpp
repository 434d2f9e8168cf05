#include "plugin/cutting_patterns.h"

#include "interface/host_api.h"
#include "plugin/nc_codes.h"
#include "plugin/plugin_state.h"

namespace pelk {

void begin_pattern_definition(int pattern) {
    defining_pattern = 1;
    pattern_being_defined = pattern;
}

void end_pattern_definition() { defining_pattern = 0; }

void note_laser_element() {
    if (defining_pattern == 0 || c_nc_in_sub == 0) return;
    for (int i = 0; i < cutting_pattern_count; ++i) {
        if (cutting_patterns[i] == pattern_being_defined) return;
    }
    if (cutting_pattern_count == CUTTING_PATTERNS_SIZE) {
        cutting_patterns_overflow = 1;  // from now on every call counts as cutting
        return;
    }
    cutting_patterns[cutting_pattern_count++] = pattern_being_defined;
}

bool pattern_may_cut(int pattern) {
    if (c_nc_sub_type != SUBS_AT_TOP || cutting_patterns_overflow != 0) return true;
    for (int i = 0; i < cutting_pattern_count; ++i) {
        if (cutting_patterns[i] == pattern) return true;
    }
    return false;
}

}  // namespace pelk
