// nearness.h - whether two values, places or index angles are the same
// within a tolerance.
#pragma once

#include <cmath>

namespace verify {

inline bool near(double a, double b, double tolerance) { return std::fabs(a - b) <= tolerance; }

inline bool near_point(double x1, double y1, double x2, double y2, double tolerance) {
    return near(x1, x2, tolerance) && near(y1, y2, tolerance);
}

// Angles of the index: 360 and 0 are the same place.
inline bool near_angle(double a, double b, double tolerance) {
    double d = std::fmod(std::fabs(a - b), 360.0);
    if (d > 180.0) d = 360.0 - d;
    return d <= tolerance;
}

}  // namespace verify
