#include "host/laser_arc_pieces.h"

#include <cmath>
#include <numbers>

#include "host/control_rounding.h"
#include "interface/host_api.h"

namespace host::detail {

namespace {

constexpr double TWO_PI = 2.0 * std::numbers::pi;
constexpr double SAME_POINT = 1e-6;        // the module's comparison of positions
constexpr double LONG_WAY_FROM = 1e-6;     // the module writes a negative radius beyond a half turn by this
constexpr int MOST_PIECES = 256;           // far more than any arc the control takes needs

// A circular arc: centre, radius, the angle it starts at and its signed
// sweep (radians, positive counter-clockwise).
struct Arc {
    double xc = 0.0, yc = 0.0, r = 0.0;
    double from = 0.0, sweep = 0.0;

    ArcPoint at(double angle) const { return {xc + r * std::cos(angle), yc + r * std::sin(angle)}; }
    ArcPoint start() const { return at(from); }
    ArcPoint end() const { return at(from + sweep); }
};

double wrap(double a) {
    a = std::fmod(a, TWO_PI);
    return a < 0.0 ? a + TWO_PI : a;
}

double distance(ArcPoint a, ArcPoint b) { return std::hypot(a.x - b.x, a.y - b.y); }

// Whether the angle lies within the arc's sweep.
bool within(const Arc &arc, double angle) {
    const double d = arc.sweep >= 0.0 ? wrap(angle - arc.from) : wrap(arc.from - angle);
    return d <= std::fabs(arc.sweep);
}

// A point's distance from an arc: from its circle where the point lies
// within its sweep, otherwise from its nearer end.
double distance(ArcPoint p, const Arc &arc) {
    const double angle = std::atan2(p.y - arc.yc, p.x - arc.xc);
    if (within(arc, angle)) return std::fabs(std::hypot(p.x - arc.xc, p.y - arc.yc) - arc.r);
    return std::fmin(distance(p, arc.start()), distance(p, arc.end()));
}

// The largest distance of a point of a from b.  Seen from b's centre, a
// point running along a comes nearest and goes farthest where a's centre,
// b's centre and the point lie in one line; elsewhere the distance only
// grows or shrinks, so a's ends, its middle and those two places are all
// there is to look at.
double farthest_from(const Arc &a, const Arc &b) {
    const double towards = std::atan2(a.yc - b.yc, a.xc - b.xc);
    double largest = std::fmax(distance(a.start(), b), distance(a.end(), b));
    largest = std::fmax(largest, distance(a.at(a.from + a.sweep / 2.0), b));
    for (const double angle : {towards, towards + std::numbers::pi}) {
        if (within(a, angle)) largest = std::fmax(largest, distance(a.at(angle), b));
    }
    return largest;
}

double deviation(const Arc &a, const Arc &b) { return std::fmax(farthest_from(a, b), farthest_from(b, a)); }

ArcPoint written(ArcPoint p) { return {written_distance(p.x), written_distance(p.y)}; }

// The arc the control cuts for "LCI/" from where it stands (start) to the
// end and radius as written, in the sense and the long or short way of
// sweep; false when the radius is shorter than half the way, which the
// control cannot cut.
bool control_arc(ArcPoint start, ArcPoint end_handed, double r_handed, double sweep, Arc &arc) {
    const ArcPoint end = written(end_handed);
    const double r = written_distance(r_handed);
    const bool long_way = std::fabs(sweep) - std::numbers::pi >= LONG_WAY_FROM;
    const bool counter_clockwise = sweep > 0.0;
    const double cx = end.x - start.x, cy = end.y - start.y;
    const double chord = std::hypot(cx, cy);
    const double half = chord / 2.0;
    if (!(chord > 0.0) || half > r) return false;
    const double rise = std::sqrt(r * r - half * half);
    // The centre lies left of the way for a short counter-clockwise arc.
    const double side = counter_clockwise != long_way ? 1.0 : -1.0;
    arc.xc = start.x + cx / 2.0 - side * rise * cy / chord;
    arc.yc = start.y + cy / 2.0 + side * rise * cx / chord;
    arc.r = r;
    arc.from = std::atan2(start.y - arc.yc, start.x - arc.xc);
    const double to = std::atan2(end.y - arc.yc, end.x - arc.xc);
    arc.sweep = counter_clockwise ? wrap(to - arc.from) : -wrap(arc.from - to);
    if (arc.sweep == 0.0) arc.sweep = counter_clockwise ? TWO_PI : -TWO_PI;
    return true;
}

// The circle the control cuts for "CIR/": about the centre as written,
// through the start it stands at.
Arc control_circle(ArcPoint start, const Arc &job_circle) {
    Arc arc;
    const ArcPoint centre = written(ArcPoint{job_circle.xc, job_circle.yc});
    arc.xc = centre.x;
    arc.yc = centre.y;
    arc.r = distance(start, centre);
    arc.from = std::atan2(start.y - centre.y, start.x - centre.x);
    arc.sweep = job_circle.sweep;
    return arc;
}

// The job's arc of an element, its sweep in the element's sense as the
// module takes it (an end on the start: a full turn).
Arc job_arc(const job::LaserElement &e) {
    Arc arc;
    arc.xc = e.xc;
    arc.yc = e.yc;
    arc.r = std::hypot(e.x1 - e.xc, e.y1 - e.yc);
    arc.from = std::atan2(e.y1 - e.yc, e.x1 - e.xc);
    const double to = std::atan2(e.y2 - e.yc, e.x2 - e.xc);
    double sweep = e.counter_clockwise ? wrap(to - arc.from) : wrap(arc.from - to);
    if (sweep == 0.0) sweep = TWO_PI;
    arc.sweep = e.counter_clockwise ? sweep : -sweep;
    return arc;
}

bool full_circle(const job::LaserElement &e) {
    return std::fabs(e.x2 - e.x1) < SAME_POINT && std::fabs(e.y2 - e.y1) < SAME_POINT;
}

// Where piece k of n starts, as the host hands it to the module.
ArcPoint piece_start(const Arc &whole, int k, int n) { return whole.at(whole.from + whole.sweep * k / n); }

// The points that cut the element into n pieces of equal sweep, as the
// module is handed them: the element's own start and end, and points of
// its circle between.
std::vector<ArcPoint> piece_points(const job::LaserElement &e, const Arc &whole, int n) {
    std::vector<ArcPoint> points;
    points.reserve(static_cast<std::size_t>(n) + 1);
    points.push_back({e.x1, e.y1});
    for (int k = 1; k < n; ++k) points.push_back(piece_start(whole, k, n));
    points.push_back({e.x2, e.y2});
    return points;
}

// Whether every piece between the points stays within the tolerance, each
// cut from where the one before left the control; the first from start.
bool pieces_fit_from(const Arc &whole, const std::vector<ArcPoint> &points, bool circle, ArcPoint start) {
    const double limit = laser_path_tolerance();
    const std::size_t n = points.size() - 1;
    for (std::size_t k = 0; k < n; ++k) {
        Arc piece = whole;
        piece.from = whole.from + whole.sweep * static_cast<double>(k) / static_cast<double>(n);
        piece.sweep = whole.sweep / static_cast<double>(n);
        // The module writes the radius from the piece's start as handed over,
        // worked out as it works it out (a hypot may differ in the last bit,
        // and so the radius by a unit as written).
        const double dx = points[k].x - whole.xc, dy = points[k].y - whole.yc;
        const double r = std::sqrt(dx * dx + dy * dy);
        Arc cut;
        if (circle && n == 1) {
            cut = control_circle(start, piece);
        } else if (!control_arc(start, points[k + 1], r, piece.sweep, cut)) {
            return false;
        }
        if (deviation(cut, piece) > limit) return false;
        start = written(points[k + 1]);
    }
    return true;
}

// Whether the pieces fit from wherever the control may hold the start: on
// its value written, or (in a pattern body, off the grid or where the
// increment to it is a tie) anywhere within half a unit of it, where an arc
// with a short chord swings far.
bool pieces_fit(const Arc &whole, const std::vector<ArcPoint> &points, bool circle) {
    if (place_lands_as_written(points[0].x, c_nc_x) && place_lands_as_written(points[0].y, c_nc_y)) {
        return pieces_fit_from(whole, points, circle, written(points[0]));
    }
    const double h = half_unit();
    for (const double dx : {-h, 0.0, h}) {
        for (const double dy : {-h, 0.0, h}) {
            if (!pieces_fit_from(whole, points, circle, ArcPoint{points[0].x + dx, points[0].y + dy})) return false;
        }
    }
    return true;
}

}  // namespace

double laser_path_tolerance() { return stroke_tolerance() + half_unit(); }

std::vector<ArcPoint> laser_arc_pieces(const job::LaserElement &e) {
    const Arc whole = job_arc(e);
    const bool circle = full_circle(e);
    std::vector<ArcPoint> points = piece_points(e, whole, 1);
    for (int n = 2; n <= MOST_PIECES && !pieces_fit(whole, points, circle); ++n) points = piece_points(e, whole, n);
    return points;
}

}  // namespace host::detail
