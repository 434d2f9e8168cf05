// Common opening of the hooks that punch an element record (nibbling and
// bolt-hole circles): tool change and index before the element's own blocks.
#include "interface/host_api.h"
#include "interface/host_records.h"
#include "plugin/nc_text.h"
#include "program/pattern_offset.h"
#include "punch/tool_change.h"

namespace pelk {

bool element_preamble(const char *el, double angle) {
    gen_nc_n();
    gen_nc_laser_disable();
    gen_nc_ni_off();
    cancel_pattern_offset();

    const int station = tool_to_turret_station(record_int(el, EL_TOOL_AT));
    const int indexable = record_int(el, EL_INDEXABLE_AT);
    const double degrees = angle * DEGREES_PER_RADIAN;
    prepare_tool_change(station);

    const bool index_turns = indexable == 1 && !same_value(degrees, c_nc_tool_a);
    if (station != c_nc_tool || index_turns) {
        gen_nc_tool(station);
        gen_nc_index(0, 0, indexable, degrees);
        gen_nc_eob();
        if (flush_nc_buffer() > 0) return false;
        gen_nc_n();
    }
    return true;
}

}  // namespace pelk
