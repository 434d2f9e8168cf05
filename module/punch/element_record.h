// Fields of the host's element record (parameter el of the punching hooks),
// read at their byte offsets.  The record is the host's; nothing here
// writes to it.
#pragma once

#include "interface/host_records.h"
#include "plugin/nc_text.h"

namespace pelk {

// Host tool number of the element's tool.
inline int el_tool(const char *el) { return record_int(el, EL_TOOL_AT); }

// 1 when the index can turn the tool's station (the C word is written).
inline int el_indexable(const char *el) { return record_int(el, EL_INDEXABLE_AT); }

// The host's hit mode bits of a row: bits 2..4 of one byte and bit 6 of the
// next, handed back to the host's hit generator untouched.
inline int el_hit_bits(const char *el) { return (static_cast<unsigned char>(el[EL_HIT_BITS_AT]) >> 2) & 7; }
inline int el_hit_bit(const char *el) { return (static_cast<unsigned char>(el[EL_HIT_BIT_AT]) >> 6) & 1; }

// Row of hits: distance between hits and number of hits, the first included.
// The count is also the number of holes of a bolt-hole circle.
inline double el_pitch(const char *el) { return record_double(el, EL_PITCH_AT); }
inline int el_count(const char *el) { return record_int(el, EL_COUNT_AT); }

// Nibbled circle or arc: radius, sense (1 positive, anything else negative)
// and step along the contour.
inline double el_radius(const char *el) { return record_double(el, EL_RADIUS_AT); }
inline int el_arc_dir(const char *el) { return record_int(el, EL_ARC_DIR_AT); }
inline double el_arc_pitch(const char *el) { return record_double(el, EL_ARC_PITCH_AT); }

// Nibbled line: step along the line.
inline double el_line_pitch(const char *el) { return record_double(el, EL_LINE_PITCH_AT); }

// Bolt-hole circle: radius and the signed angle from one hole to the next,
// in radians.
inline double el_bhc_radius(const char *el) { return record_double(el, EL_BHC_RADIUS_AT); }
inline double el_step_angle(const char *el) { return record_double(el, EL_STEP_ANGLE_AT); }

}  // namespace pelk
