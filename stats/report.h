// report.h - the statistics as a table for people and as JSON for scripts.
#pragma once

#include <string>

#include "stats/statistics.h"

namespace stats {

// Lengths in millimetres, times in seconds and minutes.
std::string table(const Statistics &s, const Speeds &speeds);

// One object; lengths in millimetres ("_mm"), times in seconds ("_s").
std::string json(const Statistics &s, const Speeds &speeds);

}  // namespace stats
