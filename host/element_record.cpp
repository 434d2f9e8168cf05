// element_record.cpp - packing the fields of an element record.
#include "host/element_record.h"

#include <cstdint>
#include <cstring>

namespace {

void put_int32(char *record, std::size_t offset, int value) {
    const std::int32_t v = value;
    std::memcpy(record + offset, &v, sizeof v);
}

void put_double(char *record, std::size_t offset, double value) { std::memcpy(record + offset, &value, sizeof value); }

}  // namespace

namespace host {

ElementRecord build_element_record(const ElementValues &v) {
    ElementRecord r;
    std::memset(r.bytes, 0, sizeof r.bytes);
    put_int32(r.bytes, EL_TOOL_AT, v.tool);
    put_int32(r.bytes, EL_INDEXABLE_AT, v.indexable);
    switch (v.kind) {
    case ElementKind::row:
        // The hit mode shares its bytes with flags of the host's own.
        r.bytes[EL_HIT_BITS_AT] = static_cast<char>((static_cast<unsigned>(v.hit_bits) & 7u) << 2);
        r.bytes[EL_HIT_BIT_AT] = static_cast<char>((static_cast<unsigned>(v.hit_bit) & 1u) << 6);
        put_double(r.bytes, EL_PITCH_AT, v.pitch);
        put_int32(r.bytes, EL_COUNT_AT, v.count);
        break;
    case ElementKind::nibbled_line:
        put_double(r.bytes, EL_LINE_PITCH_AT, v.line_pitch);
        break;
    case ElementKind::nibbled_round:
        put_double(r.bytes, EL_RADIUS_AT, v.radius);
        put_int32(r.bytes, EL_ARC_DIR_AT, v.arc_dir);
        put_double(r.bytes, EL_ARC_PITCH_AT, v.arc_pitch);
        break;
    case ElementKind::bolt_hole_circle:
        put_double(r.bytes, EL_BHC_RADIUS_AT, v.bhc_radius);
        put_double(r.bytes, EL_STEP_ANGLE_AT, v.step_angle);
        put_int32(r.bytes, EL_COUNT_AT, v.count);
        break;
    }
    return r;
}

}  // namespace host
