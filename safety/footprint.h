// footprint.h - what a punch's stroke covers of the sheet: its shape and
// size at index 0, turned by the index angle when it strikes.
#pragma once

#include <cstdint>

namespace safety {

struct Footprint {
    enum class Shape : std::uint8_t { round, square, rectangle, obround } shape = Shape::round;
    double size_x = 0.0;   // mm along X at index 0 (round: the diameter)
    double size_y = 0.0;   // mm along Y at index 0
};

}  // namespace safety
