// element_record.h - the host's element record of one punching element (the
// el argument of pp_cut, the nibbling hooks and pp_bolt_hole_circle), built
// at the byte offsets of interface/host_records.h.
#pragma once

#include "interface/host_records.h"

namespace host {

// The kinds of punching element.  Their fields share the record: the radius
// of a bolt-hole circle and that of a nibbled circle overlap, so a record
// holds the fields of its own kind only.
enum class ElementKind { row, nibbled_line, nibbled_round, bolt_hole_circle };

// What the record carries, in the host's units: millimetres and radians.
// Only the fields of the kind are written.
struct ElementValues {
    ElementKind kind = ElementKind::row;
    int tool = 0;              // host tool number
    int indexable = 0;         // 1: the index can turn the tool's station
    int hit_bits = 0;          // hit mode of a row, 0..7
    int hit_bit = 0;           // hit mode flag of a row, 0 or 1
    double pitch = 0.0;        // row: distance between hits
    int count = 0;             // row: hits, first included; bolt-hole circle: holes
    double radius = 0.0;       // nibbled circle or arc
    int arc_dir = 1;           // nibbled circle or arc: 1 counter-clockwise, -1 clockwise
    double line_pitch = 0.0;   // nibbled line: step
    double arc_pitch = 0.0;    // nibbled circle or arc: step
    double bhc_radius = 0.0;   // bolt-hole circle: radius
    double step_angle = 0.0;   // bolt-hole circle: angle from hole to hole, signed
};

struct ElementRecord {
    char bytes[EL_RECORD_SIZE];
};

// Every byte not written by a field of the kind is 0.  hit_bits and hit_bit
// are cut to their 3 and 1 bits.
ElementRecord build_element_record(const ElementValues &values);

}  // namespace host
