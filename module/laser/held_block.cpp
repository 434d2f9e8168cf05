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
static bool smooth_junction(PendingKind kind, const char *line, const char *circle) {
    char point1[GEO_POINT_SIZE];
    char point2[GEO_POINT_SIZE];
    // The records are the host's; its helpers take them without const.
    char *new_line = const_cast<char *>(line);
    char *new_circle = const_cast<char *>(circle);
    if (pending_block_kind == PENDING_LINE) {
        if (kind == PENDING_LINE) return line_line(pending_line, new_line, point1) == 0;
        return line_circle(pending_line, new_circle, point1, point2) == 1;
    }
    if (kind == PENDING_LINE) return line_circle(new_line, pending_arc, point1, point2) == 1;
    return circle_circle(new_circle, pending_arc, point1, point2) == 1;
}

static bool holds_block() {
    return pending_block_kind == PENDING_LINE || pending_block_kind == PENDING_ARC;
}

static void write_junction_word(bool smooth) {
    const JunctionState wanted = smooth ? JUNCTION_SMOOTH : JUNCTION_CORNER;
    if (m21_m22_state == wanted) return;
    write_m_block(smooth ? M_SMOOTH_JUNCTION : M_CORNER_JUNCTION, Numbering::before);
    m21_m22_state = wanted;
}

Flow hold_laser_block(PendingKind kind, const char *line, const char *circle) {
    const size_t length = nc_length();
    const size_t keep = held_length(c_nc_buff, length);
    if (keep >= PENDING_BLOCK_TEXT_SIZE) return Flow::stop;
    const bool record_given = (kind == PENDING_LINE && line != nullptr) ||
                              (kind == PENDING_ARC && circle != nullptr);
    if (!record_given) return Flow::stop;

    // The composed text set aside; the buffer then collects what is written
    // now: the junction word and the block held before.
    char composed[PENDING_BLOCK_TEXT_SIZE];
    memcpy(composed, c_nc_buff, keep);
    composed[keep] = '\0';
    nc_truncate(0);

    // The block gets a fresh block-number step when it is finally written.
    c_nc_block -= c_line_number_inc;

    if (holds_block()) {
        write_junction_word(smooth_junction(kind, line, circle));
        write_text_block(pending_block_text, Numbering::before);
    }

    memcpy(pending_block_text, composed, keep + 1);
    pending_block_kind = kind;
    if (kind == PENDING_LINE) {
        memcpy(pending_line, line, LINE_RECORD_SIZE);
    } else {
        memcpy(pending_arc, circle, CIRCLE_RECORD_SIZE);
    }
    return Flow::go_on;
}

void write_pending_block(Numbering numbering) {
    if (holds_block()) write_text_block(pending_block_text, numbering);
    if (m21_m22_state != JUNCTION_SMOOTH) {
        write_m_block(M_SMOOTH_JUNCTION, numbering);
        m21_m22_state = JUNCTION_SMOOTH;
    }
    pending_block_kind = PENDING_NONE;
    pending_block_text[0] = '\0';
}

}  // namespace pelk
