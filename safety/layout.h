// layout.h - what the checks know of the machine and the sheet: the sheet's
// size, where the clamps hold it and the zone each keeps clear, and the
// footprints of the turret's punches.
#pragma once

#include <map>
#include <vector>

#include "safety/footprint.h"

namespace safety {

struct Layout {
    double sheet_x = 0.0, sheet_y = 0.0;  // the sheet's size, mm, from its corner at (0, 0)
    std::vector<double> clamps;           // X of each clamp's middle on the sheet, as loaded
    // The zone a clamp keeps clear: this wide along X about its middle, from
    // the sheet's edge at Y 0 this deep into the sheet, and everything
    // below that edge (the clamp's jaws).  No zone when either is 0.
    double zone_width = 0.0, zone_depth = 0.0;
    std::map<int, Footprint> tools;       // by station
    Footprint unknown_tool;               // a station the turret gives no shape
    // How far work may reach in (or out) and still count as touching: the
    // program's own rounding.
    double tolerance = 0.0;
};

}  // namespace safety
