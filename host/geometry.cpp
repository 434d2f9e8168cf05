// geometry.cpp - the host's geometry helpers on line and circle records.
//
// Records are packed byte arrays (interface/host_records.h); fields are copied
// with memcpy.  Lengths are millimetres, angles radians.  Intersection
// counts concern the underlying infinite line and the full circle, and use
// a tolerance suited to millimetre coordinates, so that elements that meet
// smoothly are found tangent although their coordinates carry rounding noise.
#include <cmath>
#include <cstring>
#include <initializer_list>

#include "host/trace.h"
#include "interface/host_api.h"
#include "interface/host_records.h"

namespace {

constexpr double TWO_PI = 6.283185307179586;

// Absolute tolerance on distances, plus a share of the coordinates' size so
// that large coordinates keep the same relative precision.
constexpr double DISTANCE_TOLERANCE = 1e-6;
constexpr double RELATIVE_TOLERANCE = 1e-10;

// Line record: direction unit vector and length completed by calc_line.
constexpr std::size_t LINE_UX_AT = 36;
constexpr std::size_t LINE_UY_AT = 44;
constexpr std::size_t LINE_LENGTH_AT = 52;
// Circle record: start and end angle completed by calc_circle.
constexpr std::size_t CIRCLE_START_ANGLE_AT = 60;
constexpr std::size_t CIRCLE_END_ANGLE_AT = 68;

double get(const char *record, std::size_t offset) {
    double value;
    std::memcpy(&value, record + offset, sizeof value);
    return value;
}

void put(char *record, std::size_t offset, double value) {
    std::memcpy(record + offset, &value, sizeof value);
}

struct Line {
    double x1, y1, x2, y2;
};

struct Circle {
    double xc, yc, r;
};

Line read_line(const char *record) {
    return {get(record, LINE_X1_AT), get(record, LINE_Y1_AT), get(record, LINE_X2_AT),
            get(record, LINE_Y2_AT)};
}

Circle read_circle(const char *record) {
    return {get(record, CIRCLE_XC_AT), get(record, CIRCLE_YC_AT), get(record, CIRCLE_R_AT)};
}

// A result point: X and Y as doubles at the start of its 20 bytes.
void put_point(char *point, double x, double y) {
    if (point == nullptr) return;
    put(point, 0, x);
    put(point, 8, y);
}

double tolerance(double scale) { return DISTANCE_TOLERANCE + RELATIVE_TOLERANCE * scale; }

double largest(std::initializer_list<double> values) {
    double m = 0.0;
    for (double v : values) m = std::fmax(m, std::fabs(v));
    return m;
}

int count_line_line(const Line &a, const Line &b, char *point) {
    const double ax = a.x2 - a.x1, ay = a.y2 - a.y1;
    const double bx = b.x2 - b.x1, by = b.y2 - b.y1;
    const double la = std::hypot(ax, ay), lb = std::hypot(bx, by);
    const double scale = largest({a.x1, a.y1, a.x2, a.y2, b.x1, b.y1, b.x2, b.y2});
    const double tol = tolerance(scale);
    // A line without length has no direction: it meets nothing in one point.
    if (!(la > tol) || !(lb > tol)) return 0;
    // Parallel when the shorter line leaves the other's direction by no more
    // than the tolerance over its whole length.
    const double cross = ax * by - ay * bx;
    if (!(std::fabs(cross) > tol * std::fmax(la, lb))) return 0;
    const double t = ((b.x1 - a.x1) * by - (b.y1 - a.y1) * bx) / cross;
    put_point(point, a.x1 + t * ax, a.y1 + t * ay);
    return 1;
}

int count_line_circle(const Line &l, const Circle &c, char *point1, char *point2) {
    const double dx = l.x2 - l.x1, dy = l.y2 - l.y1;
    const double length = std::hypot(dx, dy);
    const double tol = tolerance(largest({l.x1, l.y1, l.x2, l.y2, c.xc, c.yc, c.r}));
    if (!(length > tol)) return 0;
    const double ux = dx / length, uy = dy / length;
    // Foot of the perpendicular from the centre, and the centre's distance.
    const double along = (c.xc - l.x1) * ux + (c.yc - l.y1) * uy;
    const double fx = l.x1 + along * ux, fy = l.y1 + along * uy;
    const double distance = std::fabs((c.xc - l.x1) * uy - (c.yc - l.y1) * ux);
    if (std::fabs(distance - c.r) <= tol) {
        put_point(point1, fx, fy);
        put_point(point2, fx, fy);
        return 1;
    }
    if (!(distance < c.r)) return 0;
    const double h = std::sqrt(c.r * c.r - distance * distance);
    put_point(point1, fx - h * ux, fy - h * uy);
    put_point(point2, fx + h * ux, fy + h * uy);
    return 2;
}

int count_circle_circle(const Circle &a, const Circle &b, char *point1, char *point2) {
    const double dx = b.xc - a.xc, dy = b.yc - a.yc;
    const double d = std::hypot(dx, dy);
    const double tol = tolerance(largest({a.xc, a.yc, a.r, b.xc, b.yc, b.r}));
    const double outer = a.r + b.r;
    const double inner = std::fabs(a.r - b.r);
    // Touching from outside or inside.  Two arcs of one circle count as
    // touching too: they continue each other without a corner.
    if (std::fabs(d - outer) <= tol || std::fabs(d - inner) <= tol) {
        if (d > tol) {
            const double side = std::fabs(d - outer) <= tol ? a.r : (a.r >= b.r ? a.r : -a.r);
            put_point(point1, a.xc + dx / d * side, a.yc + dy / d * side);
            put_point(point2, a.xc + dx / d * side, a.yc + dy / d * side);
        }
        return 1;
    }
    if (!(d < outer) || !(d > inner)) return 0;
    const double along = (d * d + a.r * a.r - b.r * b.r) / (2.0 * d);
    const double h = std::sqrt(std::fmax(0.0, a.r * a.r - along * along));
    const double px = a.xc + along * dx / d, py = a.yc + along * dy / d;
    put_point(point1, px - h * dy / d, py + h * dx / d);
    put_point(point2, px + h * dy / d, py - h * dx / d);
    return 2;
}

// value brought into [0, modulus); a modulus that is not positive leaves
// the value as it is.
double wrap(double value, double modulus) {
    if (!(modulus > 0.0)) return value;
    double r = std::fmod(value, modulus);
    if (r < 0.0) r += modulus;
    // Adding the modulus to a tiny negative remainder can round up to it.
    if (r >= modulus) r = 0.0;
    return r;
}

}  // namespace

extern "C" {

double cad_fmod(double value, double modulus) {
    const double r = wrap(value, modulus);
    HOST_TRACE("cad_fmod(%.10g, %.10g) -> %.10g", value, modulus, r);
    return r;
}

void calc_line(char *line) {
    const Line l = read_line(line);
    const double length = std::hypot(l.x2 - l.x1, l.y2 - l.y1);
    const double ux = length > 0.0 ? (l.x2 - l.x1) / length : 0.0;
    const double uy = length > 0.0 ? (l.y2 - l.y1) / length : 0.0;
    put(line, LINE_UX_AT, ux);
    put(line, LINE_UY_AT, uy);
    put(line, LINE_LENGTH_AT, length);
    HOST_TRACE("calc_line(%.10g, %.10g, %.10g, %.10g)", l.x1, l.y1, l.x2, l.y2);
}

void calc_circle(char *circle) {
    const Circle c = read_circle(circle);
    const double xs = get(circle, CIRCLE_XS_AT), ys = get(circle, CIRCLE_YS_AT);
    const double xe = get(circle, CIRCLE_XE_AT), ye = get(circle, CIRCLE_YE_AT);
    put(circle, CIRCLE_START_ANGLE_AT, wrap(std::atan2(ys - c.yc, xs - c.xc), TWO_PI));
    put(circle, CIRCLE_END_ANGLE_AT, wrap(std::atan2(ye - c.yc, xe - c.xc), TWO_PI));
    HOST_TRACE("calc_circle(%.10g, %.10g, %.10g)", c.xc, c.yc, c.r);
}

void calc_sra_era_da(double xs, double ys, double xe, double ye, double xc, double yc,
                     double sense, double *start, double *end, double *sweep) {
    const double sra = wrap(std::atan2(ys - yc, xs - xc), TWO_PI);
    const double era = wrap(std::atan2(ye - yc, xe - xc), TWO_PI);
    double da = sense < 0.0 ? wrap(sra - era, TWO_PI) : wrap(era - sra, TWO_PI);
    // An arc that ends where it starts is a full turn.
    if (da == 0.0) da = TWO_PI;
    if (start != nullptr) *start = sra;
    if (end != nullptr) *end = era;
    if (sweep != nullptr) *sweep = da;
    HOST_TRACE("calc_sra_era_da(%.10g, %.10g, %.10g, %.10g, %.10g, %.10g, %.10g) -> %.10g, %.10g, %.10g",
               xs, ys, xe, ye, xc, yc, sense, sra, era, da);
}

int line_line(char *line1, char *line2, char *point) {
    const Line a = read_line(line1), b = read_line(line2);
    const int n = count_line_line(a, b, point);
    HOST_TRACE("line_line((%.10g, %.10g, %.10g, %.10g), (%.10g, %.10g, %.10g, %.10g)) -> %d",
               a.x1, a.y1, a.x2, a.y2, b.x1, b.y1, b.x2, b.y2, n);
    return n;
}

int line_circle(char *line, char *circle, char *point1, char *point2) {
    const Line l = read_line(line);
    const Circle c = read_circle(circle);
    const int n = count_line_circle(l, c, point1, point2);
    HOST_TRACE("line_circle((%.10g, %.10g, %.10g, %.10g), (%.10g, %.10g, %.10g)) -> %d",
               l.x1, l.y1, l.x2, l.y2, c.xc, c.yc, c.r, n);
    return n;
}

int circle_circle(char *circle1, char *circle2, char *point1, char *point2) {
    const Circle a = read_circle(circle1), b = read_circle(circle2);
    const int n = count_circle_circle(a, b, point1, point2);
    HOST_TRACE("circle_circle((%.10g, %.10g, %.10g), (%.10g, %.10g, %.10g)) -> %d",
               a.xc, a.yc, a.r, b.xc, b.yc, b.r, n);
    return n;
}

}  // extern "C"
