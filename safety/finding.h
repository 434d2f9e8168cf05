// finding.h - work that strikes a clamp's zone or lies off the sheet, as
// plain data: where in the program, which clamp, how far, and where on the
// sheet.
#pragma once

#include <cstdint>

#include "nc/event.h"

namespace safety {

enum class Hazard : std::uint8_t {
    clamp,      // the work reaches into a clamp's zone
    off_sheet,  // the work lies off the sheet
};

enum class Work : std::uint8_t { stroke, nibble_stroke, laser_cut };

struct Finding {
    Hazard hazard = Hazard::clamp;
    Work work = Work::stroke;
    nc::Source where;             // the line of the program (and of the call, inside a copy)
    int clamp = -1;               // clamp: its number, from 1; off the sheet: -1
    double clamp_x = 0.0;         // clamp: where its middle holds the sheet then (re-grips move it)
    double depth = 0.0;           // mm into the zone, or off the sheet's outline
    double x = 0.0, y = 0.0;      // on the sheet: the stroke's centre, or the deepest point of a cut
    double control_x = 0.0;       // the same place in the control's coordinates (the explicit
    double control_y = 0.0;       // re-grip sequence moves them against the sheet's)
    long long stroke = -1;        // a nibbled path: which of its strokes (the deepest), from 0
    long long count = 1;          // a nibbled path: how many of its strokes strike
};

}  // namespace safety
