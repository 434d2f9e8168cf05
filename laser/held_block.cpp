// The held-back laser cutting block and its junction word.
#include "laser/held_block.h"

#include <string.h>

#include "interface/host_api.h"
#include "interface/host_records.h"
#include "plugin/nc_text.h"
#include "plugin/plugin_state.h"

namespace pelk {

// Length of the held text of a composed block: everything before its last
// carriage return (the block end), or the whole text when it has none.
static size_t held_length(const char *text, size_t length) {
    for (size_t i = length; i > 0; --i) {
        if (text[i - 1] == '\r') return i - 1;
    }
    return length;
}

// True when the junction between the held element and the new one is
// smooth: the two underlying lines do not meet in a single point, or the
// line/circle or circle/circle only touch.
static bool smooth_junction(int kind, const char *line, const char *circle) {
    char point1[GEO_POINT_SIZE];
    char point2[GEO_POINT_SIZE];
    // The records are the host's; its helpers take them without const.
    char *new_line = const_cast<char *>(line);
    char *new_circle = const_cast<char *>(circle);
    if (pending_block_kind == 1) {
        if (kind == 1) return line_line(pending_line, new_line, point1) == 0;
        return line_circle(pending_line, new_circle, point1, point2) == 1;
    }
    if (kind == 1) return line_circle(new_line, pending_arc, point1, point2) == 1;
    return circle_circle(new_circle, pending_arc, point1, point2) == 1;
}

static void write_junction_word(bool smooth) {
    const int wanted = smooth ? 1 : 0;
    if (m21_m22_state == wanted) return;
    gen_nc_n();
    gen_nc_m(smooth ? 21 : 22);
    gen_nc_eob();
    m21_m22_state = wanted;
}

int hold_laser_block(int kind, const char *line, const char *circle) {
    const size_t length = nc_length();
    const size_t keep = held_length(c_nc_buff, length);
    if (keep >= PENDING_BLOCK_TEXT_SIZE) return 1;
    if ((kind == 1 && line == nullptr) || (kind == 2 && circle == nullptr) ||
        (kind != 1 && kind != 2)) {
        return 1;
    }

    // The composed text set aside; the buffer then collects what is written
    // now: the junction word and the block held before.
    char composed[PENDING_BLOCK_TEXT_SIZE];
    memcpy(composed, c_nc_buff, keep);
    composed[keep] = '\0';
    c_nc_buff[0] = '\0';

    // The block gets a fresh block-number step when it is finally written.
    c_nc_block -= c_line_number_inc;

    if (pending_block_kind == 1 || pending_block_kind == 2) {
        write_junction_word(smooth_junction(kind, line, circle));
        gen_nc_n();
        nc_append(pending_block_text);
        gen_nc_eob();
    }

    memcpy(pending_block_text, composed, keep + 1);
    pending_block_kind = kind;
    if (kind == 1) {
        memcpy(pending_line, line, LINE_RECORD_SIZE);
    } else {
        memcpy(pending_arc, circle, CIRCLE_RECORD_SIZE);
    }
    return 0;
}

void write_pending_block(int numbering) {
    if (pending_block_kind == 1 || pending_block_kind == 2) {
        if (numbering == 0) gen_nc_n();
        nc_append(pending_block_text);
        gen_nc_eob();
        if (numbering == 1) gen_nc_n();
    }
    if (m21_m22_state != 1) {
        if (numbering == 0) gen_nc_n();
        gen_nc_m(21);
        gen_nc_eob();
        if (numbering == 1) gen_nc_n();
        m21_m22_state = 1;
    }
    pending_block_kind = 0;
    pending_block_text[0] = '\0';
}

}  // namespace pelk
