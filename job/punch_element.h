// punch_element.h - the work steps whose strokes the control makes from one
// command: rows of hits, nibbled lines, circles and arcs, and bolt-hole
// circles, in the terms of the job file (millimetres, degrees).
#pragma once

#include <cstdint>

namespace job {

struct PunchElement {
    enum class Kind : std::uint8_t { row, nibbled_line, nibbled_circle, nibbled_arc, bolt_hole_circle };
    Kind kind = Kind::row;
    bool counter_clockwise = true; // nibbled circle, arc: sense
    int tool = 0;                  // a punch of the turret
    int count = 0;                 // row: hits, the first included; bolt-hole circle: holes
    double angle = 0.0;            // index angle, degrees
    double x1 = 0.0, y1 = 0.0;     // row: first hit; line: start; arc: start point
    double x2 = 0.0, y2 = 0.0;     // row: last hit; line: end; arc: end point
    double xc = 0.0, yc = 0.0;     // circle, arc, bolt-hole circle: centre
    double radius = 0.0;           // circle, arc, bolt-hole circle
    double step = 0.0;             // nibbling step along the line, circle or arc
    double start_angle = 0.0;      // circle: where nibbling starts; bolt-hole circle: first hole
    double step_angle = 0.0;       // bolt-hole circle: from hole to hole, signed (+ counter-clockwise)
};

}  // namespace job
