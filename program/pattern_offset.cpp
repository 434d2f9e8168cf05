#include "program/pattern_offset.h"

#include "interface/host_api.h"
#include "plugin/nc_text.h"
#include "plugin/plugin_state.h"

namespace pelk {

void cancel_pattern_offset() {
    if (c_nc_in_sub != 0) return;  // inside a pattern body the offset stays
    if (offset_active == 0) return;
    offset_active = 0;
    // Fixed text: the same block whatever the units and the word mode.
    nc_append("OFS/X0Y0");
    gen_nc_eob();
    gen_nc_n();
}

}  // namespace pelk
