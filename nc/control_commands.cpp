// control_commands.cpp - the commands the control expands itself: nibbling
// (CAA/Z, RAD/I), bolt-hole circles (ARC/), rows (LAA/), and the laser's
// circles and arcs (CIR/, LCI/).
#include <cmath>
#include <numbers>

#include "nc/control.h"
#include "nc/program_error.h"

namespace nc {
namespace {

constexpr double RADIANS_PER_DEGREE = std::numbers::pi / 180.0;
constexpr double DEGREES_PER_RADIAN = 180.0 / std::numbers::pi;
constexpr double FULL_TURN = 360.0;

double cos_deg(double a) { return std::cos(a * RADIANS_PER_DEGREE); }
double sin_deg(double a) { return std::sin(a * RADIANS_PER_DEGREE); }

// The angle swept from a to b, in degrees, in the given sense: (0, 360]
// counter-clockwise, [-360, 0) clockwise.
double swept(double a, double b, bool counter_clockwise) {
    double d = std::fmod(b - a, FULL_TURN);
    if (counter_clockwise) {
        if (d <= 0.0) d += FULL_TURN;
    } else {
        if (d >= 0.0) d -= FULL_TURN;
    }
    return d;
}

}  // namespace

// ---- Nibbling ------------------------------------------------------------------------

void Control::nibble_line(const Block &b) {
    if (!nibbling_armed_) fail("CAA/Z nibbles after NBL/, which did not come");
    nibbling_armed_ = false;
    if (tool_.station == 0) fail("nibbling before any station was selected (no T word yet)");
    const double length_mm = length(b.values[0]);
    const double step = length(b.values[3]);
    if (length_mm <= 0.0) fail("CAA/Z needs a length above 0");
    if (step <= 0.0) fail("CAA/Z needs a step above 0");
    Event e = event(EventKind::nibble);
    e.shape = Shape::line;
    e.x = x_ + length_mm * cos_deg(b.values[2]);
    e.y = y_ + length_mm * sin_deg(b.values[2]);
    e.step = step;
    x_ = e.x;
    y_ = e.y;
    emit(e);
}

// RAD/I: about the tool's position as the centre, on the radius written less
// the allowance, from the start angle through the sweep; the tool ends on
// the radius as written, at the end angle.
void Control::nibble_arc(const Block &b) {
    if (!nibbling_armed_) fail("RAD/I nibbles after NBL/, which did not come");
    nibbling_armed_ = false;
    tool_and_index(b);
    if (tool_.station == 0) fail("nibbling before any station was selected (no T word yet)");
    const double outer = length(b.values[0]);
    const double radius = outer - NIBBLE_ARC_ALLOWANCE_MM;
    const double start = b.values[2];
    const double sweep = b.values[3];
    const double step = length(b.values[4]);
    if (radius <= 0.0) fail("RAD/I names the radius plus 5 mm: the radius left is not above 0");
    if (sweep == 0.0 || std::fabs(sweep) > FULL_TURN) fail("RAD/I sweeps more than 0 and at most 360 degrees");
    if (step <= 0.0) fail("RAD/I needs a step above 0");
    Event e = event(EventKind::nibble);
    e.shape = std::fabs(sweep) == FULL_TURN ? Shape::circle : Shape::arc;
    e.xc = x_;
    e.yc = y_;
    e.radius = radius;
    e.sweep = sweep;
    e.step = step;
    e.x0 = x_ + radius * cos_deg(start);
    e.y0 = y_ + radius * sin_deg(start);
    e.x = x_ + radius * cos_deg(start + sweep);
    e.y = y_ + radius * sin_deg(start + sweep);
    x_ = e.xc + outer * cos_deg(start + sweep);
    y_ = e.yc + outer * sin_deg(start + sweep);
    emit(e);
}

// ---- Strokes the control makes from one command ------------------------------------

void Control::holes(const Block &b) {
    tool_and_index(b);
    if (cutting_) fail("ARC/ while the laser cuts");
    if (tool_.station == 0) fail("ARC/ before any station was selected (no T word yet)");
    if (b.count < 1) fail("ARC/ punches at least one hole");
    expansion_.kind = Expansion::Kind::holes;
    expansion_.block = b;
    expansion_.x = x_;
    expansion_.y = y_;
    expansion_.count = b.count;
}

void Control::row(const Block &b) {
    if (cutting_) fail("LAA/ while the laser cuts");
    if (tool_.station == 0) fail("LAA/ before any station was selected (no T word yet)");
    if (b.count < 0) fail("LAA/ names how many hits follow the first: not below 0");
    expansion_.kind = Expansion::Kind::row;
    expansion_.block = b;
    expansion_.x = x_;
    expansion_.y = y_;
    expansion_.dx = length(b.values[0]) * cos_deg(b.values[1]);
    expansion_.dy = length(b.values[0]) * sin_deg(b.values[1]);
    expansion_.count = b.count;
}

Generator<Event> Control::expand(Expansion x) {
    switch (x.kind) {
    case Expansion::Kind::none: break;
    case Expansion::Kind::row:
        // The first hit was the block before: the row adds count more.
        for (long long k = 1; k <= x.count; ++k) {
            Event e = event(EventKind::stroke);
            e.form = FORM_ROW;
            e.x = x.x + static_cast<double>(k) * x.dx;
            e.y = x.y + static_cast<double>(k) * x.dy;
            x_ = e.x;
            y_ = e.y;
            co_yield e;
        }
        break;
    case Expansion::Kind::holes: {
        const double r = length(x.block.values[0]);
        for (long long k = 0; k < x.count; ++k) {
            const double a = x.block.values[1] + static_cast<double>(k) * x.block.values[2];
            Event e = event(EventKind::stroke);
            e.form = FORM_HOLES;
            e.x = x.x + r * cos_deg(a);
            e.y = x.y + r * sin_deg(a);
            x_ = e.x;
            y_ = e.y;
            co_yield e;
        }
        break;
    }
    case Expansion::Kind::copies:
        for (long long k = 1; k <= x.count; ++k) {
            const double ox = x.x + static_cast<double>(k) * x.dx;
            const double oy = x.y + static_cast<double>(k) * x.dy;
            Generator<Event> copy = run_copy(x.block.pattern, ox, oy, k - 1, x.block.line);
            Event e;
            while (copy.next(e)) co_yield e;
        }
        break;
    }
}

// ---- The laser's circles and arcs -----------------------------------------------------

void Control::laser_circle(const Block &b) {
    if (!cutting_) fail("CIR/ cuts while the beam is on: no cut was started");
    laser_.feed = b.f;
    double ox = 0.0, oy = 0.0;
    origin(ox, oy);
    Event e = event(EventKind::laser);
    e.shape = Shape::circle;
    e.xc = ox + length(b.values[0]);
    e.yc = oy + length(b.values[1]);
    e.radius = std::hypot(x_ - e.xc, y_ - e.yc);
    e.sweep = b.values[2];
    emit(e);
}

// LCI/ names the end and the radius; the centre lies on the side that makes
// the arc run in its sense, beyond the chord when the radius is negative
// (more than half a turn).
void Control::laser_arc(const Block &b) {
    if (!cutting_) fail("LCI/ cuts while the beam is on: no cut was started");
    laser_.feed = b.f;
    double ox = 0.0, oy = 0.0;
    origin(ox, oy);
    Event e = event(EventKind::laser);
    e.shape = Shape::arc;
    e.x = ox + length(b.values[0]);
    e.y = oy + length(b.values[1]);
    const bool counter_clockwise = b.left;
    const bool long_way = b.values[2] < 0.0;
    e.radius = length(std::fabs(b.values[2]));
    const double chord_x = e.x - e.x0, chord_y = e.y - e.y0;
    const double chord = std::hypot(chord_x, chord_y);
    if (chord == 0.0) fail("LCI/ ends where it starts: a full circle is CIR/");
    // A chord a little longer than the diameter is a half turn, rounded.
    const double half = chord / 2.0;
    const double rise = e.radius > half ? std::sqrt(e.radius * e.radius - half * half) : 0.0;
    if (half > e.radius + 0.01 * unit_) fail("LCI/ cannot reach its end: the radius is shorter than half the way");
    // The centre to the left of the chord for a short counter-clockwise arc.
    const double side = counter_clockwise != long_way ? 1.0 : -1.0;
    e.xc = e.x0 + chord_x / 2.0 - side * rise * chord_y / chord;
    e.yc = e.y0 + chord_y / 2.0 + side * rise * chord_x / chord;
    const double a0 = std::atan2(e.y0 - e.yc, e.x0 - e.xc) * DEGREES_PER_RADIAN;
    const double a1 = std::atan2(e.y - e.yc, e.x - e.xc) * DEGREES_PER_RADIAN;
    e.sweep = swept(a0, a1, counter_clockwise);
    x_ = e.x;
    y_ = e.y;
    emit(e);
}

}  // namespace nc
