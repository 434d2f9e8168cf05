// arc_path.cpp - distances between laser paths.
//
// A path is a line or an arc.  Seen from a circle's centre, a point running
// along an arc comes nearest and goes farthest from that circle where the
// point and both centres lie in one line; between those places and the
// arc's ends the distance only grows or shrinks.  So a path's ends, its
// middle and those two places are the points to measure.
#include "verify/arc_path.h"

#include <cmath>
#include <numbers>
#include <vector>

namespace verify {
namespace {

constexpr double RADIANS_PER_DEGREE = std::numbers::pi / 180.0;
constexpr double TWO_PI = 2.0 * std::numbers::pi;

struct Point {
    double x, y;
};

struct Path {
    bool arc = false;
    Point from{}, to{};
    double xc = 0.0, yc = 0.0, r = 0.0;
    double start = 0.0, sweep = 0.0;  // radians, sweep signed (counter-clockwise positive)

    Point on_arc(double angle) const { return {xc + r * std::cos(angle), yc + r * std::sin(angle)}; }
};

Path path_of(const nc::Event &e) {
    Path p;
    p.from = {e.x0, e.y0};
    p.to = {e.x, e.y};
    if (e.shape == nc::Shape::line) return p;
    p.arc = true;
    p.xc = e.xc;
    p.yc = e.yc;
    p.r = std::hypot(e.x0 - e.xc, e.y0 - e.yc);
    p.start = std::atan2(e.y0 - e.yc, e.x0 - e.xc);
    p.sweep = e.sweep * RADIANS_PER_DEGREE;
    return p;
}

double between(Point a, Point b) { return std::hypot(a.x - b.x, a.y - b.y); }

double turned(double a) {
    a = std::fmod(a, TWO_PI);
    return a < 0.0 ? a + TWO_PI : a;
}

bool spans(const Path &p, double angle) {
    const double into = p.sweep >= 0.0 ? turned(angle - p.start) : turned(p.start - angle);
    return into <= std::fabs(p.sweep);
}

// A point's distance from a path.
double distance(Point q, const Path &p) {
    if (!p.arc) {
        const double dx = p.to.x - p.from.x, dy = p.to.y - p.from.y;
        const double length2 = dx * dx + dy * dy;
        double t = length2 > 0.0 ? ((q.x - p.from.x) * dx + (q.y - p.from.y) * dy) / length2 : 0.0;
        t = std::fmin(1.0, std::fmax(0.0, t));
        return between(q, {p.from.x + t * dx, p.from.y + t * dy});
    }
    const double angle = std::atan2(q.y - p.yc, q.x - p.xc);
    if (spans(p, angle)) return std::fabs(std::hypot(q.x - p.xc, q.y - p.yc) - p.r);
    return std::fmin(between(q, p.from), between(q, p.to));
}

// The points of a to measure against b.
std::vector<Point> points_to_measure(const Path &a, const Path &b) {
    std::vector<Point> points = {a.from, a.to};
    if (!a.arc) {
        points.push_back({(a.from.x + a.to.x) / 2.0, (a.from.y + a.to.y) / 2.0});
        if (b.arc) {
            // Along a line, the distance from a circle is extreme at the foot
            // of the perpendicular from its centre.
            const double dx = a.to.x - a.from.x, dy = a.to.y - a.from.y;
            const double length2 = dx * dx + dy * dy;
            if (length2 > 0.0) {
                const double t = ((b.xc - a.from.x) * dx + (b.yc - a.from.y) * dy) / length2;
                if (t > 0.0 && t < 1.0) points.push_back({a.from.x + t * dx, a.from.y + t * dy});
            }
        }
        return points;
    }
    points.push_back(a.on_arc(a.start + a.sweep / 2.0));
    const Point other = b.arc ? Point{b.xc, b.yc} : Point{(b.from.x + b.to.x) / 2.0, (b.from.y + b.to.y) / 2.0};
    const double towards = std::atan2(other.y - a.yc, other.x - a.xc);
    for (const double angle : {towards, towards + std::numbers::pi}) {
        if (spans(a, angle)) points.push_back(a.on_arc(angle));
    }
    return points;
}

double farthest(const Path &a, const Path &b) {
    double most = 0.0;
    for (const Point &q : points_to_measure(a, b)) most = std::fmax(most, distance(q, b));
    return most;
}

}  // namespace

double path_distance(const nc::Event &a, const nc::Event &b) {
    const Path pa = path_of(a), pb = path_of(b);
    return std::fmax(farthest(pa, pb), farthest(pb, pa));
}

double distance_from_path(const nc::Event &piece, const nc::Event &whole) {
    return farthest(path_of(piece), path_of(whole));
}

}  // namespace verify
