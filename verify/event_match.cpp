// event_match.cpp - the rules by which an event of the program is the job's.
#include "verify/event_match.h"

#include <cmath>
#include <numbers>

#include "nc/setup.h"
#include "verify/arc_path.h"
#include "verify/nearness.h"

namespace verify {
namespace {

using nc::Event;
using nc::EventKind;

constexpr double DEGREES_PER_RADIAN = 180.0 / std::numbers::pi;
// Nibbling commands write their angles to 0.01 degree: each may turn the
// path by half of that, and both a start and a sweep make an arc's end.
constexpr double ANGLE_ROUNDING_RADIANS = 0.005 / DEGREES_PER_RADIAN;

bool same_junction(nc::Junction a, nc::Junction b) {
    return a == b || a == nc::Junction::either || b == nc::Junction::either;
}

// Each written value that makes a place adds the tolerance of one place
// (half a unit of its rounding, and the allowance): a copy of a pattern its
// origin to the body's word; a nibbled path its start or centre to its
// length or radius; the explicit re-grip the clamps' travel to the place
// written before it.
int written_values(const Event &e) {
    int values = 1;
    if (e.where.call_line != 0) ++values;
    if (e.kind == EventKind::nibble || (e.kind == EventKind::regrip && e.number == 0)) ++values;
    return values;
}

Tolerance sum(const Tolerance &a, const Tolerance &b) {
    Tolerance t;
    t.position = a.position + b.position;
    t.composed = a.composed + b.composed;
    t.half_unit = a.half_unit + b.half_unit;
    t.angle = a.angle + b.angle;
    t.feed = a.feed + b.feed;
    t.time = a.time + b.time;
    return t;
}

}  // namespace

EventMatch::EventMatch(const Tolerance &ta, const Tolerance &tb)
    : ta_(ta), tb_(tb), t_(sum(ta, tb)), rounded_sides_((ta.angle > 0.0 ? 1 : 0) + (tb.angle > 0.0 ? 1 : 0)) {}

double EventMatch::place_tolerance(const Event &a, const Event &b) const {
    return ta_.position * written_values(a) + tb_.position * written_values(b);
}

bool EventMatch::same_tool(const Event &a, const Event &b) const {
    if (a.tool.station != b.tool.station) return false;
    if ((b.checks & nc::CHECK_ANGLE) != 0 && !near_angle(a.tool.angle, b.tool.angle, t_.angle)) return false;
    if ((b.checks & nc::CHECK_MODES) != 0 && (a.tool.forming != b.tool.forming || a.tool.m61x != b.tool.m61x)) {
        return false;
    }
    return true;
}

bool EventMatch::same_technology(const nc::Technology &a, const nc::Technology &b) const {
    return a.head == b.head && a.m7x == b.m7x && a.mode == b.mode && a.s == b.s && near(a.feed, b.feed, t_.feed) &&
           a.compensation == b.compensation;
}

bool EventMatch::nibble_matches(const Event &a, const Event &b, bool allow_drift) const {
    const double p = place_tolerance(a, b);
    if ((a.shape == nc::Shape::line) != (b.shape == nc::Shape::line)) return false;
    // A nibbled arc starts where its start angle, rounded, points.
    const double start_turn = a.shape == nc::Shape::line ? 0.0
                                                         : (b.radius + nc::NIBBLE_ARC_ALLOWANCE_MM) *
                                                               ANGLE_ROUNDING_RADIANS * rounded_sides_;
    if (!near_point(a.x0, a.y0, b.x0, b.y0, p + start_turn)) return false;
    if (a.step > b.step + p || !same_tool(a, b)) return false;
    if (a.shape != nc::Shape::line &&
        !(near_point(a.xc, a.yc, b.xc, b.yc, p) && near(a.radius, b.radius, p) && near(a.sweep, b.sweep, 0.5))) {
        return false;
    }
    if (near_point(a.x, a.y, b.x, b.y, p)) return true;
    return allow_drift && nibbling_drift(a, b) > 0.0;
}

double EventMatch::nibbling_drift(const Event &a, const Event &b) const {
    const double p = place_tolerance(a, b);
    if (near_point(a.x, a.y, b.x, b.y, p)) return 0.0;
    // The rounding of the values a command is written with carries its end
    // at most this far: along the path (or its radius), by its start (or
    // centre) and its length (or radius); across it, by those and the turn
    // of its angles over the length.
    double ux = 0.0, uy = 0.0, reach = 0.0, turns = 1.0;
    if (a.shape == nc::Shape::line) {
        ux = b.x - b.x0;
        uy = b.y - b.y0;
        reach = std::hypot(ux, uy);
    } else {
        ux = b.x - b.xc;
        uy = b.y - b.yc;
        reach = b.radius + nc::NIBBLE_ARC_ALLOWANCE_MM;
        turns = 2.0;  // the start angle and the sweep
    }
    const double length = std::hypot(ux, uy);
    if (!(length > 0.0)) return 0.0;
    ux /= length;
    uy /= length;
    const double dx = a.x - b.x, dy = a.y - b.y;
    const double along = std::fabs(dx * ux + dy * uy), across = std::fabs(dx * uy - dy * ux);
    if (along > t_.composed + t_.half_unit ||
        across > t_.composed + reach * ANGLE_ROUNDING_RADIANS * turns * rounded_sides_) {
        return 0.0;
    }
    return std::hypot(dx, dy);
}

bool EventMatch::match(const Event &a, const Event &b) const {
    if (a.kind != b.kind) return false;
    const double p = place_tolerance(a, b);
    switch (a.kind) {
    case EventKind::stroke: return near_point(a.x, a.y, b.x, b.y, p) && same_tool(a, b);
    case EventKind::nibble: return nibble_matches(a, b, true);
    case EventKind::pierce: return near_point(a.x, a.y, b.x, b.y, p) && same_technology(a.technology, b.technology);
    case EventKind::laser:
        if (a.shape != b.shape || !near(a.technology.feed, b.technology.feed, t_.feed)) return false;
        if (!same_junction(a.technology.junction, b.technology.junction)) return false;
        if (!near_point(a.x0, a.y0, b.x0, b.y0, p) || !near_point(a.x, a.y, b.x, b.y, p)) return false;
        if (a.shape == nc::Shape::line) return true;
        // An arc by the path the control cuts, at every point.
        return (a.sweep > 0) == (b.sweep > 0) && path_distance(a, b) <= path_tolerance(a, b);
    case EventKind::cut_end:
    case EventKind::head_up:
    case EventKind::laser_work:
    case EventKind::rewind:
    case EventKind::stop: return true;
    case EventKind::move:
        if (!near_point(a.x, a.y, b.x, b.y, p) || a.purpose != b.purpose) return false;
        return (b.checks & nc::CHECK_TOOL) == 0 || same_tool(a, b);
    // Which copy of its call it is depends on how the calls are written
    // (one repeat line, or shorter ones): the place tells.
    case EventKind::copy: return a.number == b.number && near_point(a.x, a.y, b.x, b.y, p);
    case EventKind::regrip:
        if (a.number != b.number || !near_point(a.x0, a.y0, b.x0, b.y0, p) || !near(a.value, b.value, p)) return false;
        return a.number == 1 || (near(a.value2, 0.0, p) && near(a.value3, b.value3, p));
    case EventKind::frame: return near(a.x, b.x, p);
    case EventKind::trap_door: return near_point(a.x, a.y, b.x, b.y, p);
    case EventKind::dwell: return near(a.value, b.value, t_.time);
    case EventKind::feed_range:
    case EventKind::program_start:
    case EventKind::program_number: return a.number == b.number;
    case EventKind::sheet:
        return a.number == b.number && near(a.value, b.value, p) && near(a.x, b.x, p) && near(a.value2, b.value2, p);
    case EventKind::comment:
    case EventKind::user_text: return a.text == b.text;
    // A station is taken with the index at 0, and the program ends with it
    // there.
    case EventKind::tool_change: return a.tool.station == b.tool.station && near_angle(a.value, b.value, t_.angle);
    case EventKind::program_end: return near_angle(a.tool.angle, b.tool.angle, t_.angle);
    case EventKind::parameter_line:
    case EventKind::index_turn:
    case EventKind::format: return false;  // never matched one by one
    }
    return false;
}

bool EventMatch::piece_of(const Event &a, const Event &b, bool first) const {
    if (a.kind != EventKind::laser || b.kind != EventKind::laser || a.shape != nc::Shape::arc ||
        b.shape == nc::Shape::line) {
        return false;
    }
    if ((a.sweep > 0) != (b.sweep > 0) || !near(a.technology.feed, b.technology.feed, t_.feed)) return false;
    if (first && !near_point(a.x0, a.y0, b.x0, b.y0, place_tolerance(a, b))) return false;
    return distance_from_path(a, b) <= path_tolerance(a, b);
}

double EventMatch::progress(const Event &a, const Event &b, double before) {
    const double start = std::atan2(b.y0 - b.yc, b.x0 - b.xc);
    const double end = std::atan2(a.y - b.yc, a.x - b.xc);
    double along = std::fmod((b.sweep > 0 ? end - start : start - end) * DEGREES_PER_RADIAN, 360.0);
    if (along < 0.0) along += 360.0;
    // A full circle's last piece ends at 360, not at 0.
    if (before > 180.0 && along < 90.0) along += 360.0;
    return along;
}

bool EventMatch::ends_arc(const Event &a, const Event &b, double along) const {
    const double whole = b.shape == nc::Shape::circle ? 360.0 : std::fabs(b.sweep);
    return near_point(a.x, a.y, b.x, b.y, place_tolerance(a, b)) && along > whole - 90.0 &&
           same_junction(a.technology.junction, b.technology.junction);
}

std::string EventMatch::what_differs(const Event &a, const Event &b) const {
    static const char *const KINDS[] = {"stroke",    "nibbling",     "laser start", "laser element", "cut end",
                                        "positioning", "copy",       "stop",        "re-grip",       "frame",
                                        "trap door", "dwell",        "feed range",  "material",      "parameter",
                                        "station",   "index",        "head up",     "comment",       "free text",
                                        "start",     "program number", "laser work", "rewind",       "end",
                                        "format"};
    static_assert(sizeof KINDS / sizeof KINDS[0] == static_cast<std::size_t>(EventKind::format) + 1,
                  "a name for every kind of event");
    std::string what = KINDS[static_cast<int>(a.kind)];
    if (a.kind != b.kind) return what + " for " + KINDS[static_cast<int>(b.kind)];
    if (a.tool.station != b.tool.station) what += ": T" + std::to_string(a.tool.station) + " for T" + std::to_string(b.tool.station);
    if (a.tool.forming != b.tool.forming) what += ": forming";
    if (a.tool.m61x != b.tool.m61x) what += ": M61x mode";
    const nc::Technology &ta = a.technology, &tb = b.technology;
    if (a.kind == EventKind::pierce) {
        if (ta.head != tb.head) what += ": head mode";
        if (ta.m7x != tb.m7x) what += ": M7x";
        if (ta.mode != tb.mode || ta.s != tb.s) what += ": technology word";
        if (ta.compensation != tb.compensation) what += ": compensation";
    }
    if (a.kind == EventKind::laser && !same_junction(ta.junction, tb.junction)) what += ": junction word";
    if ((a.kind == EventKind::laser || a.kind == EventKind::pierce) && !near(ta.feed, tb.feed, t_.feed)) what += ": feed";
    if (a.text != b.text) what += ": text";
    if (a.number != b.number) what += ": number";
    return what;
}

}  // namespace verify
