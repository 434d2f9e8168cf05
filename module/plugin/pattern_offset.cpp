#include "plugin/pattern_offset.h"

#include "interface/host_api.h"
#include "plugin/blocks.h"
#include "plugin/plugin_state.h"

namespace pelk {

void cancel_pattern_offset() {
    if (c_nc_in_sub != 0) return;  // inside a pattern body the offset stays
    if (offset_active == 0) return;
    offset_active = 0;
    // Fixed text: the same block whatever the units and the word mode.
    write_text_block("OFS/X0Y0", Numbering::after);
}

}  // namespace pelk
