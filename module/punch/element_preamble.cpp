// Common opening of the hooks that punch an element record (nibbling and
// bolt-hole circles): tool change and index before the element's own blocks.
#include "interface/host_api.h"
#include "interface/host_records.h"
#include "plugin/blocks.h"
#include "plugin/flow.h"
#include "plugin/nc_text.h"
#include "plugin/plugin_state.h"
#include "punch/tool_change.h"

namespace pelk {

Flow element_preamble(const char *el, double angle) {
    // ---- 1. Block start, laser head up, no nibbling, no pattern offset ----
    gen_nc_n();
    open_punching_block();

    // ---- 2. What the turret needs before the station changes -------------
    const int station = tool_to_turret_station(record_int(el, EL_TOOL_AT));
    const int indexable = record_int(el, EL_INDEXABLE_AT);
    const double degrees = angle * DEGREES_PER_RADIAN;
    prepare_tool_change(station);

    // ---- 3. Tool and index block, when the station or the angle changes, --
    // ----    or when the index word is due in any case: the first in a ----
    // ----    pattern's body, whose copies may follow one another with the --
    // ----    index wherever the copy before left it -----------------------
    const bool index_turns = indexable == 1 && (!same_value(degrees, c_nc_tool_a) || index_forced != 0);
    if (station != c_nc_tool || index_turns) {
        gen_nc_tool(station);
        gen_nc_index(0, 0, indexable, degrees);
        return end_block_flush_and_begin_next();
    }
    return Flow::go_on;
}

}  // namespace pelk
