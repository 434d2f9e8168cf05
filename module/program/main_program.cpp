// The frame of one NC program: start line, program number, header, the
// patterns and the body that the host drives, and the trailer.
#include <stdio.h>
#include <string.h>

#include "interface/host_api.h"
#include "plugin/blocks.h"
#include "plugin/hooks.h"
#include "plugin/nc_codes.h"
#include "plugin/nc_text.h"
#include "plugin/plugin_state.h"
#include "plugin/pattern_offset.h"

namespace pelk {

namespace {

// Longest name or message text taken into a header comment; a longer text is
// cut there so that the comment still closes.
constexpr int MAX_COMMENT_TEXT = 200;

constexpr int MSG_NO_MATERIAL_NUMBER_TITLE = 1382;  // the material name has no "("
constexpr int MSG_NO_MATERIAL_NUMBER = 1383;
constexpr int MSG_SHEET = 863;                      // header: thickness and size
constexpr int MSG_CLAMP = 889;                      // header: one clamp position

// Room for the distance text of one number (the host's callers pass 256).
constexpr size_t NUMBER_TEXT_SIZE = 256;

// The host's list to walk: ol1 or sl.
void *work_list() {
    return c_sim_draw_type == 1 ? static_cast<void *>(ol1) : static_cast<void *>(sl);
}

// Material number of the MAT/ block: the integer after the first "(" of the
// material name, read like atoi; a number beyond the range of int is held
// at its bound.
int material_number(const char *material) {
    const char *open = strchr(material, '(');
    if (open == nullptr) {
        prerr(1, cmsg(MSG_NO_MATERIAL_NUMBER_TITLE), cmsg(MSG_NO_MATERIAL_NUMBER), material);
        return 1;
    }
    return read_int(open + 1);
}

// ---- Start: start line and program number --------------------------------
Flow write_start() {
    nc_replace(c_nc_EIA != 0 ? "+ " : "% ");
    if (stopped(end_block_and_flush())) return Flow::stop;

    if (c_nc_use_program_number != 0) {
        char number[32];
        snprintf(number, sizeof number, "O%04ld", static_cast<long>(c_program_number));
        nc_replace(number);
        if (stopped(end_block_and_flush())) return Flow::stop;
    }
    return Flow::go_on;
}

// ---- Header: blocks of ISO code only --------------------------------------
Flow write_header() {
    char thickness[NUMBER_TEXT_SIZE], size_x[NUMBER_TEXT_SIZE], size_y[NUMBER_TEXT_SIZE];
    gen_nc_d_o_u(c_thickness, thickness);
    gen_nc_d_o_u(c_sheet_x, size_x);
    gen_nc_d_o_u(c_sheet_y, size_y);

    // 1. Material block and M610 (variant VARIANT_M61X).
    if (c_post_processor == VARIANT_M61X) {
        nc_appendf("MAT/B%d H%s X%s Y%s", material_number(c_material), thickness, size_x, size_y);
        if (stopped(end_block_and_flush())) return Flow::stop;
        write_m_block(M_PUNCH_MODE_0, Numbering::before);
        if (stopped(flush())) return Flow::stop;
        last_m61x = 0;
    }

    // 2. Initial feed rate (the variants with feed ranges).
    if (c_post_processor == VARIANT_M61X || c_post_processor == VARIANT_FORMING) {
        gen_nc_n();
        gen_nc_feedrate(FEED_IN_BLOCK, c_initial_feedrate);
        if (stopped(end_block_and_flush())) return Flow::stop;
    }

    // 3. Nest name.
    gen_nc_n();
    nc_appendf("(%.*s)", MAX_COMMENT_TEXT, c_nes_name);
    if (stopped(end_block_and_flush())) return Flow::stop;

    // 4. Sheet: thickness and size.
    gen_nc_n();
    nc_appendf("(%.*s - %s X %s Y %s)", MAX_COMMENT_TEXT, message_text(MSG_SHEET), thickness, size_x,
               size_y);
    if (stopped(end_block_and_flush())) return Flow::stop;

    // 5. Clamp positions.
    gen_nc_n();
    nc_replace("(");
    for (int i = 0; i < c_clamps; ++i) {
        char position[NUMBER_TEXT_SIZE];
        gen_nc_d_o_u(get_clamp_pos(i), position);
        nc_appendf("%.*s %d %s ", MAX_COMMENT_TEXT, message_text(MSG_CLAMP), i + 1, position);
    }
    nc_append(")");
    return end_block_and_flush();
}

// ---- Body: the patterns at the top and the sheet's work ---------------------
Flow write_body(void *list) {
    // 1. Patterns at the top, from the host's fresh state.
    if (c_nc_sub_type == SUBS_AT_TOP) {
        init_pp_variables();
        index_forced = 0;
        (void)gen_nc_output_all_subs(list);
    }

    // 2. The body starts from the host's fresh state and unknown laser modes.
    init_pp_variables();
    forget_laser_modes();
    index_forced = 0;

    // 3. Laser work in use.
    if (c_laser_allowed == LASER_WORK_IN_USE) {
        write_m_block(M_LASER_WORK, Numbering::before);
        if (stopped(flush())) return Flow::stop;
    }

    // 4. The sheet starts at its load position.
    c_nc_x = c_load_pos_x;
    c_nc_y = c_load_pos_y;
    gen_nc_feedrate(FEED_IN_FORCE, c_initial_feedrate);

    // 5. The work, driven by the host.
    return from_answer(gen_nc_short_sims(list));
}

// Park or unload at the end of the program.
Flow write_park_and_unload() {
    const double park_x = c_done_repos_flag != 0 ? c_load_pos_x + current_repos_x : c_load_pos_x;

    if (c_loader_unloader == 2) {
        gen_nc_x_y(1, park_x, 0.0);
        gen_nc_m(M_UNLOAD_POSITION);
    } else if (c_loader_unloader == 1) {
        gen_nc_x_y(1, park_x, c_load_pos_y);
        gen_nc_m(M_UNLOAD_POSITION);
    } else {
        gen_nc_x_y(1, park_x, c_load_pos_y);
        gen_nc_m(M_NO_STROKE);
    }
    if (stopped(end_block_and_flush())) return Flow::stop;

    // After a repositioning the control is told the sheet's frame again.
    if (c_done_repos_flag != 0) {
        char load_x[NUMBER_TEXT_SIZE];
        gen_nc_n();
        nc_appendf("FRM/X%s", gen_nc_d_o_u(c_load_pos_x, load_x));
        if (stopped(end_block_and_flush())) return Flow::stop;
    }

    if (c_loader_unloader == 2) {
        gen_nc_x_y(0, c_load_pos_x, 25.0);
    } else if (c_loader_unloader == 1) {
        gen_nc_x_y(0, c_load_pos_x, c_load_pos_y + 25.0);
    } else {
        return Flow::go_on;
    }
    gen_nc_m(M_UNLOADER_RELEASE);
    return end_block_and_flush();
}

// ---- Trailer: index, laser work end, park, rewind, end character ------------
Flow write_trailer() {
    // 1. Nothing of the body's modes stays in force.
    gen_nc_n();
    gen_nc_ni_off();
    gen_nc_laser_disable();
    cancel_pattern_offset();

    // 2. Index back to 0.
    if (!same_value(c_nc_tool_a, 0.0)) {
        gen_nc_g(0);
        gen_nc_x_y(1, c_nc_x, c_nc_y);
        gen_nc_index(1, 0, 1, 0.0);
        gen_nc_m(M_NO_STROKE);
        if (stopped(end_block_flush_and_begin_next())) return Flow::stop;
    }

    // 3. Laser work ends.
    if (c_laser_allowed == LASER_WORK_IN_USE && stopped(flush_m_block(M_LASER_WORK))) {
        return Flow::stop;
    }

    // 4. Park or unload.
    if (stopped(write_park_and_unload())) return Flow::stop;

    // 5. Rewind.
    if (c_nc_rewind_flag != 0) {
        write_m_block(M_REWIND, Numbering::before);
        if (stopped(flush())) return Flow::stop;
    }

    // 6. End character, without a block end.
    nc_append("%");
    return flush();
}

}  // namespace

int pp_main() {
    void *list = work_list();

    // 1. Nothing carries over from an earlier program.
    reset_program_state();

    // 2. Start.
    if (stopped(write_start())) return hook_result(Flow::stop);
    init_pp_variables();
    c_nc_block = c_line_number_inc;

    // 3. Header (ISO code only).
    if (c_nc_EIA == 0 && stopped(write_header())) return hook_result(Flow::stop);

    // 4. Body.
    if (stopped(write_body(list))) return hook_result(Flow::stop);

    // 5. Trailer.
    return hook_result(write_trailer());
}

}  // namespace pelk
