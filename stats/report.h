// report.h - the statistics as a table for people and as JSON for scripts.
#pragma once

#include <string>

#include "stats/statistics.h"

namespace stats {

// Lengths in millimetres, times in seconds and minutes; each part of the
// machine time with its count and the machine keys it came from.
std::string table(const Statistics &s, const MachineTimes &machine);

// One object; lengths in millimetres ("_mm"), times in seconds ("_s").
std::string json(const Statistics &s, const MachineTimes &machine);

}  // namespace stats
