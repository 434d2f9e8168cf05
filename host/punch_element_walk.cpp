// punch_element_walk.cpp - rows, nibbling and bolt-hole circles, from the
// job's terms to the hooks' arguments and the element record.
#include "host/punch_element_walk.h"

#include <charconv>
#include <cmath>
#include <numbers>
#include <string>

#include "host/control_rounding.h"
#include "host/element_record.h"
#include "host/host_state.h"
#include "host/trace.h"
#include "interface/host_api.h"

namespace {

using job::PunchElement;

constexpr double RADIANS_PER_DEGREE = std::numbers::pi / 180.0;
constexpr double DEGREES_PER_RADIAN = 180.0 / std::numbers::pi;

struct Point {
    double x, y;
};

// The point on a circle at an angle in degrees.
Point on_circle(const PunchElement &e, double degrees) {
    const double a = degrees * RADIANS_PER_DEGREE;
    return {e.xc + e.radius * std::cos(a), e.yc + e.radius * std::sin(a)};
}

// The control is given a nibbled circle's or arc's radius plus this much.
constexpr double NIBBLING_RADIUS_ALLOWANCE = 5.0;

// Fewer hits than this are written one by one rather than as a command.
constexpr int MIN_COMMAND_HITS = 3;

int indexable(int tool) {
    const job::Station *station = host::detail::find_station(tool);
    return station != nullptr && station->indexable ? 1 : 0;
}

// Tool and index flag; the fields of the kind are added by the caller.
host::ElementValues values_of(const PunchElement &e, host::ElementKind kind) {
    host::ElementValues v;
    v.kind = kind;
    v.tool = e.tool;
    v.indexable = indexable(e.tool);
    return v;
}

// A single stroke of a row or a bolt-hole circle written on its own.
int walk_single_hit(const PunchElement &e, Point p, double angle) {
    const int flag = 0;
    const int result = (*pp_hit)(p.x, p.y, e.tool, indexable(e.tool), angle, 0, flag);
    HOST_TRACE("pp_hit(%.10g, %.10g, %d, %d, %.10g, 0, %d) -> %d", p.x, p.y, e.tool, indexable(e.tool), angle, flag,
               result);
    return result;
}

// The module's comparison of positions: a word is left out for less.
bool same_value(double a, double b) { return std::fabs(a - b) < 1e-6; }

// Where the control takes a place the module writes for a hit: on the value
// written, or, where the word may land up to half a unit off (not on the
// grid in a pattern body, or left out as unchanged while the other axis
// moves, so that the control stays wherever it stood), exactly, with that
// half unit for the check to allow (uncertain).
double word_place(double value, double current, double other, double other_current, double &uncertain) {
    const bool left_out = same_value(value, current) && !same_value(other, other_current);
    uncertain = host::detail::place_lands_as_written(value, current) && !left_out ? 0.0 : host::detail::half_unit();
    return uncertain == 0.0 ? host::detail::written_place(value, current) : value;
}

// Whether a place (dx, dy) off the job's fits, allowing for the half unit
// each axis may add.
bool place_fits(double dx, double dy, double uncertain_x, double uncertain_y) {
    return host::detail::within_tolerance(std::fabs(dx) + uncertain_x, std::fabs(dy) + uncertain_y);
}

// ---- Rows ------------------------------------------------------------------

// The job's place of hit k of a row: spread evenly from the first to the
// last, which stand exactly where the job has them.
Point row_hit(const PunchElement &e, int k) {
    if (k == 0) return {e.x1, e.y1};
    if (k == e.count - 1) return {e.x2, e.y2};
    const double t = static_cast<double>(k) / (e.count - 1);
    return {e.x1 + (e.x2 - e.x1) * t, e.y1 + (e.y2 - e.y1) * t};
}

// How far off its place the last of count hits from hit first lands when
// they are one command: the control steps from the first, as its words are
// written, by the pitch and direction as the module writes them; (ux, uy)
// what the first's words may add.
Point row_drift(const PunchElement &e, int first, int count, double &ux, double &uy) {
    const Point a = row_hit(e, first), b = row_hit(e, first + count - 1);
    const double pitch = std::hypot(b.x - a.x, b.y - a.y) / (count - 1);
    double along_x = 0.0, along_y = 0.0;
    host::detail::direction_vector(host::detail::written_degrees(std::atan2(b.y - a.y, b.x - a.x) * DEGREES_PER_RADIAN),
                                   along_x, along_y);
    const double length = host::detail::written_distance(pitch) * (count - 1);
    const double x = word_place(a.x, c_nc_x, a.y, c_nc_y, ux), y = word_place(a.y, c_nc_y, a.x, c_nc_x, uy);
    return {x + length * along_x - b.x, y + length * along_y - b.y};
}

int walk_row_command(const PunchElement &e, int first, int count, double angle) {
    const Point a = row_hit(e, first), b = row_hit(e, first + count - 1);
    host::ElementValues v = values_of(e, host::ElementKind::row);
    v.count = count;
    v.pitch = count > 1 ? std::hypot(b.x - a.x, b.y - a.y) / (count - 1) : 0.0;
    host::ElementRecord r = host::build_element_record(v);
    const int result = (*pp_cut)(a.x, a.y, b.x, b.y, r.bytes, angle);
    HOST_TRACE("pp_cut(%.10g, %.10g, %.10g, %.10g, el, %.10g) -> %d", a.x, a.y, b.x, b.y, angle, result);
    // A row at a slant leaves the tool off the grid of written values.
    if (count >= 2 && a.x != b.x && a.y != b.y) host::detail::leave_grid();
    return result;
}

int walk_row(const PunchElement &e, double angle) {
    if (e.count < 2) return walk_row_command(e, 0, 1, angle);
    // One command, unless the pitch as written would carry a hit too far:
    // then the longest runs that keep every hit within the tolerance, and
    // the hits between them one by one.
    const auto fits = [&e](int first, int count) {
        if (count < 2) return true;
        double ux = 0.0, uy = 0.0;
        const Point drift = row_drift(e, first, count, ux, uy);
        return place_fits(drift.x, drift.y, ux, uy);
    };
    if (fits(0, e.count)) return walk_row_command(e, 0, e.count, angle);
    double ux = 0.0, uy = 0.0;
    const Point drift = row_drift(e, 0, e.count, ux, uy);
    HOST_TRACE("%s: one row command would put its last hit %.4g mm off (X %.4g, Y %.4g): split",
               host::detail::step_path().c_str(), std::hypot(drift.x, drift.y), drift.x, drift.y);
    for (int first = 0; first < e.count;) {
        const int count = host::detail::longest_run(e.count - first, [&](int n) { return fits(first, n); });
        const int result = count >= MIN_COMMAND_HITS ? walk_row_command(e, first, count, angle)
                                                     : walk_single_hit(e, row_hit(e, first), angle);
        if (result != 0) return result;
        first += count >= MIN_COMMAND_HITS ? count : 1;
    }
    return 0;
}

// ---- Nibbling ---------------------------------------------------------------
// A nibbled element is one command whatever its size, and has no exact form:
// one whose values as written end the path farther from the job's end than
// its start (or centre) and its length (or radius) can put it, each rounded
// to its last digit, is written all the same, with a warning that names the
// step and the drift.

std::string millimetres(double value) {
    char text[64];
    const auto written = std::to_chars(text, text + sizeof text, value, std::chars_format::fixed, 3);
    return written.ec == std::errc() ? std::string(text, written.ptr) : std::string("more than 1e9");
}

void warn_if_nibbling_drifts(const char *what, Point reached, Point end) {
    const double dx = reached.x - end.x, dy = reached.y - end.y;
    if (host::detail::within_composed_tolerance(dx, dy)) return;
    host::detail::report(host::detail::step_path() + ": the nibbled " + what + " ends " +
                         millimetres(std::hypot(dx, dy)) +
                         " mm from the job's end, as the control reads its values rounded");
}

// An angle brought into one turn, [0, 360) degrees.
double within_turn(double degrees) {
    const double a = std::fmod(degrees, 360.0);
    return a < 0.0 ? a + 360.0 : a;
}

int walk_nibbled_line(const PunchElement &e, double angle) {
    Point reached;
    host::detail::nibbled_end_as_written(e, false, reached.x, reached.y);
    warn_if_nibbling_drifts("line", reached, {e.x2, e.y2});

    host::ElementValues v = values_of(e, host::ElementKind::nibbled_line);
    v.line_pitch = host::detail::written_distance_down(e.step);  // never a step longer than the job's
    host::ElementRecord r = host::build_element_record(v);
    const int result = (*pp_nibble_l)(e.x1, e.y1, e.x2, e.y2, r.bytes, angle);
    HOST_TRACE("pp_nibble_l(%.10g, %.10g, %.10g, %.10g, el, %.10g) -> %d", e.x1, e.y1, e.x2, e.y2, angle,
               result);
    return result;
}

host::ElementRecord round_record(const PunchElement &e) {
    host::ElementValues v = values_of(e, host::ElementKind::nibbled_round);
    v.radius = e.radius;
    v.arc_dir = e.counter_clockwise ? 1 : -1;
    v.arc_pitch = host::detail::written_distance_down(e.step);  // never a step longer than the job's
    return host::build_element_record(v);
}

int walk_nibbled_circle(const PunchElement &e, double angle) {
    host::ElementRecord r = round_record(e);
    const Point s = on_circle(e, e.start_angle);
    const int result = (*pp_nibble_c)(s.x, s.y, e.xc, e.yc, r.bytes, angle);
    HOST_TRACE("pp_nibble_c(%.10g, %.10g, %.10g, %.10g, el, %.10g) -> %d", s.x, s.y, e.xc, e.yc, angle, result);
    return result;
}

int walk_nibbled_arc(const PunchElement &e, double angle) {
    Point reached;
    host::detail::nibbled_end_as_written(e, false, reached.x, reached.y);
    warn_if_nibbling_drifts("arc", reached, {e.x2, e.y2});

    host::ElementRecord r = round_record(e);
    const int result = (*pp_nibble_a)(e.x1, e.y1, e.x2, e.y2, e.xc, e.yc, r.bytes, angle);
    HOST_TRACE("pp_nibble_a(%.10g, %.10g, %.10g, %.10g, %.10g, %.10g, el, %.10g) -> %d", e.x1, e.y1, e.x2, e.y2,
               e.xc, e.yc, angle, result);
    return result;
}

// ---- Bolt-hole circles ------------------------------------------------------

Point bolt_hole(const PunchElement &e, int k) { return on_circle(e, e.start_angle + e.step_angle * k); }

// Whether count holes from hole first, as one command, all land within the
// tolerance: the control places them from the centre, the radius, the
// first hole's angle (as the host's arc routine gives it to the module) and
// the step, all as written.
bool holes_fit(const PunchElement &e, int first, int count) {
    if (count < 2) return true;
    const Point a = bolt_hole(e, first);
    // The angles as the module writes them: the first hole's as the arc
    // routine gives it (within one turn), the step from the record's radians.
    constexpr double TWO_PI = 2.0 * std::numbers::pi;
    double first_radians = std::fmod(std::atan2(a.y - e.yc, a.x - e.xc), TWO_PI);
    if (first_radians < 0.0) first_radians += TWO_PI;
    if (first_radians >= TWO_PI) first_radians = 0.0;
    const double first_angle = host::detail::written_degrees(first_radians * DEGREES_PER_RADIAN);
    const double step = host::detail::written_degrees(e.step_angle * RADIANS_PER_DEGREE * DEGREES_PER_RADIAN);
    const double radius = host::detail::written_distance(e.radius);
    // The move to the centre writes both words.
    const double uncertain = host::detail::place_lands_as_written(e.xc, c_nc_x) &&
                                     host::detail::place_lands_as_written(e.yc, c_nc_y)
                                 ? 0.0
                                 : host::detail::half_unit();
    const Point centre = uncertain == 0.0 ? Point{host::detail::written_place(e.xc, c_nc_x), host::detail::written_place(e.yc, c_nc_y)}
                                          : Point{e.xc, e.yc};
    for (int k = 0; k < count; ++k) {
        double along_x = 0.0, along_y = 0.0;
        host::detail::direction_vector(first_angle + step * k, along_x, along_y);
        const Point hole = bolt_hole(e, first + k);
        if (!place_fits(centre.x + radius * along_x - hole.x, centre.y + radius * along_y - hole.y, uncertain, uncertain)) {
            return false;
        }
    }
    return true;
}

int walk_bolt_hole_command(const PunchElement &e, int first, int count, double angle) {
    host::detail::leave_grid();  // the last hole lies on the circle, off the grid
    host::ElementValues v = values_of(e, host::ElementKind::bolt_hole_circle);
    v.bhc_radius = e.radius;
    v.step_angle = e.step_angle * RADIANS_PER_DEGREE;
    v.count = count;
    host::ElementRecord r = host::build_element_record(v);
    const Point a = bolt_hole(e, first);
    const Point b = bolt_hole(e, first + count - 1);
    const int result = (*pp_bolt_hole_circle)(a.x, a.y, b.x, b.y, e.xc, e.yc, r.bytes, angle);
    HOST_TRACE("pp_bolt_hole_circle(%.10g, %.10g, %.10g, %.10g, %.10g, %.10g, el, %.10g) -> %d", a.x, a.y, b.x, b.y,
               e.xc, e.yc, angle, result);
    return result;
}

int walk_bolt_hole_circle(const PunchElement &e, double angle) {
    // One command, unless the angles or the radius as written would carry a
    // hole too far: then the longest runs whose holes all fit, each with a
    // command of its own, and the holes between them one by one.
    // A single hole is a hit: the command would place it from the centre,
    // radius and angle, each rounded.
    if (e.count == 1) return walk_single_hit(e, bolt_hole(e, 0), angle);
    if (holes_fit(e, 0, e.count)) return walk_bolt_hole_command(e, 0, e.count, angle);
    HOST_TRACE("%s: one bolt-hole command would put a hole more than %.4g mm off: split",
               host::detail::step_path().c_str(), host::detail::stroke_tolerance());
    for (int first = 0; first < e.count;) {
        const int count = host::detail::longest_run(e.count - first, [&](int n) { return holes_fit(e, first, n); });
        const int result = count >= MIN_COMMAND_HITS ? walk_bolt_hole_command(e, first, count, angle)
                                                     : walk_single_hit(e, bolt_hole(e, first), angle);
        if (result != 0) return result;
        first += count >= MIN_COMMAND_HITS ? count : 1;
    }
    return 0;
}

}  // namespace

namespace host::detail {

void nibbled_end_as_written(const PunchElement &e, bool tool, double &x, double &y) {
    double along_x = 0.0, along_y = 0.0;
    if (e.kind == PunchElement::Kind::nibbled_line) {
        // From the start by the length and the direction.
        direction_vector(written_degrees(std::atan2(e.y2 - e.y1, e.x2 - e.x1) * DEGREES_PER_RADIAN), along_x, along_y);
        const double length = written_distance(std::hypot(e.x2 - e.x1, e.y2 - e.y1));
        x = written_distance(e.x1) + length * along_x;
        y = written_distance(e.y1) + length * along_y;
        return;
    }
    // About the centre on the radius (the command carries it plus the
    // allowance, where the tool stays), from the start angle by the turn; a
    // circle ends at its start.
    double start = within_turn(e.start_angle);
    double turn = 0.0;
    if (e.kind == PunchElement::Kind::nibbled_arc) {
        start = within_turn(std::atan2(e.y1 - e.yc, e.x1 - e.xc) * DEGREES_PER_RADIAN);
        const double end = within_turn(std::atan2(e.y2 - e.yc, e.x2 - e.xc) * DEGREES_PER_RADIAN);
        double sweep = within_turn(e.counter_clockwise ? end - start : start - end);
        if (sweep == 0.0) sweep = 360.0;
        turn = written_degrees(e.counter_clockwise ? sweep : -sweep);
    }
    direction_vector(written_degrees(start) + turn, along_x, along_y);
    const double reach = written_distance(e.radius + NIBBLING_RADIUS_ALLOWANCE) - (tool ? 0.0 : NIBBLING_RADIUS_ALLOWANCE);
    x = written_distance(e.xc) + reach * along_x;
    y = written_distance(e.yc) + reach * along_y;
}

int walk_punch_element(const PunchElement &e) {
    const double angle = e.angle * RADIANS_PER_DEGREE;
    switch (e.kind) {
    case PunchElement::Kind::row: return walk_row(e, angle);
    // Nibbling leaves the tool where its values as written lead: off the grid.
    case PunchElement::Kind::nibbled_line: host::detail::leave_grid(); return walk_nibbled_line(e, angle);
    case PunchElement::Kind::nibbled_circle: host::detail::leave_grid(); return walk_nibbled_circle(e, angle);
    case PunchElement::Kind::nibbled_arc: host::detail::leave_grid(); return walk_nibbled_arc(e, angle);
    case PunchElement::Kind::bolt_hole_circle: return walk_bolt_hole_circle(e, angle);
    }
    return 0;
}

}  // namespace host::detail
