// The tool word "T%d": the turret station of the next stroke.
#include <stdio.h>

#include "plugin/hooks.h"
#include "interface/host_api.h"
#include "plugin/nc_text.h"

namespace pelk {

namespace {
constexpr int MSG_BAD_STATION = 837;  // a station number below 1 (one integer)
}  // namespace

void pp_tool(int station) {
    if (station < 1) {
        char text[BLOCK_TEXT_SIZE];
        format_host_message(text, sizeof text, cmsg(MSG_BAD_STATION), station);
        (void)pp_wait_for_key(2, text);
        return;
    }
    if (station == c_nc_tool) return;

    nc_append_int("T", station);

    const int previous_station = c_nc_tool;
    te_update_tool(station, previous_station);
    c_nc_tool = station;

    // After a change of station the index counts as standing at 0 degrees.
    const double previous_angle = c_nc_tool_a;
    te_update_index(previous_angle, 0.0);
    c_nc_tool_a = 0.0;

    hz_make_all_forms_active();
}

}  // namespace pelk
