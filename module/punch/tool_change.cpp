// Blocks written ahead of a change of turret station.
#include "punch/tool_change.h"

#include "interface/host_api.h"
#include "plugin/blocks.h"
#include "plugin/nc_codes.h"
#include "plugin/nc_text.h"
#include "plugin/plugin_state.h"
#include "punch/station_scan.h"

namespace pelk {

namespace {

// M word of each M61x mode.
constexpr int M61X_WORD[4] = {M_PUNCH_MODE_0, M_PUNCH_MODE_1, M_PUNCH_MODE_2, M_PUNCH_MODE_3};

// Index back to 0 at the current position, as a positioning block.
void write_index_return() {
    open_punching_block();
    gen_nc_g(0);
    gen_nc_x_y(1, c_nc_x, c_nc_y);
    gen_nc_index(1, 0, 1, 0.0);
    gen_nc_m(M_NO_STROKE);
    gen_nc_eob();
    gen_nc_n();
}

// A block holding one M word, with the laser head up and no offset in force.
void write_mode_block(int m) {
    open_punching_block();
    write_m_block(m, Numbering::after);
}

}  // namespace

void prepare_tool_change(int station) {
    if (station < 1 || station == c_nc_tool) return;

    if (!same_value(c_nc_tool_a, 0.0)) write_index_return();

    if (c_post_processor != VARIANT_M61X && c_post_processor != VARIANT_FORMING) return;

    const StationModes modes = scan_station(station, c_post_processor == VARIANT_M61X);

    // A forming tool gets M08 at every change to it, the first other tool M09.
    if (modes.forming) {
        write_mode_block(M_FORMING_ON);
        c_last_form_flag = 1;
    } else if (c_last_form_flag != 0) {
        write_mode_block(M_FORMING_OFF);
        c_last_form_flag = 0;
    }

    if (c_post_processor != VARIANT_M61X) return;

    if (modes.m61x_seen) {
        write_mode_block(M61X_WORD[modes.m61x_mode]);
        last_m61x = modes.m61x_mode;
    } else if (last_m61x != 0) {
        write_mode_block(M61X_WORD[0]);
        last_m61x = 0;
    }
}

}  // namespace pelk
