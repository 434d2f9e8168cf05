// Reading the host's station table for the option letters of a station.
#pragma once

namespace pelk {

// What the option letters of the records of one turret station ask for.
struct StationModes {
    bool forming = false;   // some record holds 'F'
    bool m61x_seen = false; // some record holds 'R'
    int m61x_mode = 0;      // 0..3, from the last record in table order with an 'R'
};

// Scans every station record of c_tool_stations whose station number is
// station, skipping the laser tools.  'R' is looked at only when read_m61x
// is true (variant 7001).
StationModes scan_station(int station, bool read_m61x);

}  // namespace pelk
