// geometry.cpp - convex polygons and how deep things reach into them.
#include "safety/geometry.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>

namespace safety {
namespace {

constexpr double RADIANS_PER_DEGREE = std::numbers::pi / 180.0;
constexpr int MOST_CHORDS = 4096;

double cross(Point o, Point a, Point b) { return (a.x - o.x) * (b.y - o.y) - (a.y - o.y) * (b.x - o.x); }

// The distance of p from the segment a-b.
double segment_distance(Point a, Point b, Point p) {
    const double ex = b.x - a.x, ey = b.y - a.y;
    const double length2 = ex * ex + ey * ey;
    double t = length2 > 0.0 ? ((p.x - a.x) * ex + (p.y - a.y) * ey) / length2 : 0.0;
    t = std::clamp(t, 0.0, 1.0);
    return std::hypot(p.x - (a.x + t * ex), p.y - (a.y + t * ey));
}

// The convex hull of the points, counter-clockwise, without points in line.
Polygon hull(std::vector<Point> points) {
    std::sort(points.begin(), points.end(), [](Point a, Point b) { return a.x < b.x || (a.x == b.x && a.y < b.y); });
    if (points.size() < 3) return points;
    Polygon h(2 * points.size());
    std::size_t k = 0;
    for (const Point &p : points) {
        while (k >= 2 && cross(h[k - 2], h[k - 1], p) <= 0.0) --k;
        h[k++] = p;
    }
    for (std::size_t i = points.size() - 1, lower = k + 1; i-- > 0;) {
        while (k >= lower && cross(h[k - 2], h[k - 1], points[i]) <= 0.0) --k;
        h[k++] = points[i];
    }
    h.resize(k - 1);
    return h;
}

// The footprint as a convex core, turned by angle, and the radius that
// rounds it: a round tool is a point and its radius, an obround a segment
// and half its width.
void footprint_core(const Footprint &f, double angle, std::vector<Point> &core, double &radius) {
    double hx = f.size_x / 2.0, hy = f.size_y / 2.0;
    radius = 0.0;
    switch (f.shape) {
    case Footprint::Shape::round:
        core = {Point{}};
        radius = hx;
        return;
    case Footprint::Shape::obround:
        radius = std::min(hx, hy);
        hx -= radius;
        hy -= radius;
        break;
    case Footprint::Shape::square:
    case Footprint::Shape::rectangle: break;
    }
    const double c = std::cos(angle * RADIANS_PER_DEGREE), s = std::sin(angle * RADIANS_PER_DEGREE);
    core.clear();
    for (const auto &[sx, sy] : {std::pair{1.0, 1.0}, std::pair{-1.0, 1.0}, std::pair{-1.0, -1.0}, std::pair{1.0, -1.0}}) {
        const double x = sx * hx, y = sy * hy;
        core.push_back(Point{x * c - y * s, x * s + y * c});
    }
}

}  // namespace

Polygon rectangle(double x0, double y0, double x1, double y1) { return {{x0, y0}, {x1, y0}, {x1, y1}, {x0, y1}}; }

double depth_inside(const Polygon &polygon, Point p) {
    double inside = std::numeric_limits<double>::infinity();
    double outside = std::numeric_limits<double>::infinity();
    bool is_inside = polygon.size() >= 3;
    for (std::size_t i = 0; i < polygon.size(); ++i) {
        const Point a = polygon[i], b = polygon[(i + 1) % polygon.size()];
        const double length = std::hypot(b.x - a.x, b.y - a.y);
        if (length > 0.0) {
            const double side = cross(a, b, p) / length;
            if (side < 0.0) is_inside = false;
            inside = std::min(inside, side);
        }
        outside = std::min(outside, segment_distance(a, b, p));
    }
    if (polygon.size() == 1) outside = std::hypot(p.x - polygon[0].x, p.y - polygon[0].y);
    return is_inside ? inside : -outside;
}

double footprint_radius(const Footprint &f) {
    if (f.shape == Footprint::Shape::round) return f.size_x / 2.0;
    return std::hypot(f.size_x, f.size_y) / 2.0;
}

double footprint_reach(const Polygon &polygon, const Footprint &f, Point place, double angle) {
    // The places from which the footprint's core touches the polygon make
    // the polygon grown by the core turned about: its depth there, plus the
    // rounding, is how far the footprint reaches in.
    std::vector<Point> core;
    double radius = 0.0;
    footprint_core(f, angle, core, radius);
    std::vector<Point> sums;
    sums.reserve(polygon.size() * core.size());
    for (const Point &z : polygon) {
        for (const Point &c : core) sums.push_back(Point{z.x - c.x, z.y - c.y});
    }
    return radius + depth_inside(hull(std::move(sums)), place);
}

double deepest_on_segment(const Polygon &polygon, Point a, Point b, Point &deepest) {
    // Inside, the depth is the least of the distances to the edges' lines:
    // along the segment the least of straight lines in t, highest at an end
    // or where two of them cross.
    struct Line {
        double at_a, slope;
    };
    std::vector<Line> lines;
    for (std::size_t i = 0; i < polygon.size(); ++i) {
        const Point p = polygon[i], q = polygon[(i + 1) % polygon.size()];
        const double length = std::hypot(q.x - p.x, q.y - p.y);
        if (length == 0.0) continue;
        const double at_a = cross(p, q, a) / length;
        lines.push_back(Line{at_a, cross(p, q, b) / length - at_a});
    }
    auto depth_at = [&lines](double t) {
        double d = std::numeric_limits<double>::infinity();
        for (const Line &l : lines) d = std::min(d, l.at_a + l.slope * t);
        return d;
    };
    double best_t = 0.0, best = depth_at(0.0);
    auto consider = [&](double t) {
        if (!(t > 0.0 && t <= 1.0)) return;
        const double d = depth_at(t);
        if (d > best) {
            best = d;
            best_t = t;
        }
    };
    consider(1.0);
    for (std::size_t i = 0; i < lines.size(); ++i) {
        for (std::size_t j = i + 1; j < lines.size(); ++j) {
            if (lines[i].slope != lines[j].slope) {
                consider((lines[j].at_a - lines[i].at_a) / (lines[i].slope - lines[j].slope));
            }
        }
    }
    deepest = Point{a.x + best_t * (b.x - a.x), a.y + best_t * (b.y - a.y)};
    return lines.empty() ? -std::numeric_limits<double>::infinity() : best;
}

std::vector<Point> arc_chords(Point start, Point centre, double sweep, double max_error) {
    const double radius = std::hypot(start.x - centre.x, start.y - centre.y);
    const double turn = std::fabs(sweep) * RADIANS_PER_DEGREE;
    int chords = 1;
    if (radius > max_error && max_error > 0.0) {
        const double step = 2.0 * std::acos(1.0 - max_error / radius);
        chords = static_cast<int>(std::clamp(std::ceil(turn / step), 1.0, static_cast<double>(MOST_CHORDS)));
    } else if (radius > 0.0) {
        chords = std::max(1, static_cast<int>(std::ceil(turn / (std::numbers::pi / 2.0))));
    }
    const double a0 = std::atan2(start.y - centre.y, start.x - centre.x);
    const double step = sweep * RADIANS_PER_DEGREE / chords;
    std::vector<Point> points;
    points.reserve(static_cast<std::size_t>(chords) + 1);
    points.push_back(start);
    for (int k = 1; k <= chords; ++k) {
        points.push_back(Point{centre.x + radius * std::cos(a0 + k * step), centre.y + radius * std::sin(a0 + k * step)});
    }
    return points;
}

}  // namespace safety
