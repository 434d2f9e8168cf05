// nibbling.cpp - strokes along a nibbled line, circle or arc.
#include "nc/nibbling.h"

#include <cmath>
#include <numbers>

namespace nc {
namespace {

constexpr double RADIANS_PER_DEGREE = std::numbers::pi / 180.0;
// A path a whole number of steps long is not given one stroke more for the
// rounding of its length.
constexpr double STEP_ALLOWANCE = 1e-9;

}  // namespace

double nibble_length(const Event &e) {
    if (e.shape == Shape::line) return std::hypot(e.x - e.x0, e.y - e.y0);
    return e.radius * std::fabs(e.sweep) * RADIANS_PER_DEGREE;
}

long long nibble_stroke_count(const Event &e) {
    const double length = nibble_length(e);
    if (!(e.step > 0.0) || !(length > 0.0)) return 1;
    const double steps = std::ceil(length / e.step - STEP_ALLOWANCE);
    // Bounded: a path a billion steps long is drawn and counted as such (a
    // length or step beyond any number, or none, counts as one step).
    const long long n = !(steps >= 1.0) ? 1 : !(steps <= 1e12) ? 1000000000000LL : static_cast<long long>(steps);
    return e.shape == Shape::circle ? n : n + 1;
}

void nibble_stroke(const Event &e, long long k, double &x, double &y) {
    const long long n = nibble_stroke_count(e);
    const long long spaces = e.shape == Shape::circle ? n : n - 1;
    const double t = spaces > 0 ? static_cast<double>(k) / static_cast<double>(spaces) : 0.0;
    if (e.shape == Shape::line) {
        x = e.x0 + t * (e.x - e.x0);
        y = e.y0 + t * (e.y - e.y0);
        return;
    }
    const double start = std::atan2(e.y0 - e.yc, e.x0 - e.xc);
    const double a = start + t * e.sweep * RADIANS_PER_DEGREE;
    x = e.xc + e.radius * std::cos(a);
    y = e.yc + e.radius * std::sin(a);
}

}  // namespace nc
