// event_time.cpp - the time of one event.
#include "stats/event_time.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <numbers>

#include "nc/nibbling.h"
#include "nc/setup.h"

namespace stats {
namespace {

constexpr double MM_PER_METRE = 1000.0;
constexpr double SECONDS_PER_MINUTE = 60.0;
constexpr double FULL_TURN = 360.0;

}  // namespace

double EventTime::total() const {
    double sum = 0.0;
    for (double s : seconds) sum += s;
    return sum;
}

double travel_of(const nc::Event &e) {
    using nc::EventKind;
    switch (e.kind) {
    case EventKind::stroke:
    case EventKind::pierce:
    case EventKind::move:
    case EventKind::copy:
    case EventKind::trap_door: return std::hypot(e.x - e.x0, e.y - e.y0);
    case EventKind::nibble:
        // RAD/I: out from the centre to the path's start, and from its end
        // the allowance further out.
        return e.shape == nc::Shape::line ? 0.0 : e.radius + nc::NIBBLE_ARC_ALLOWANCE_MM;
    default: return 0.0;
    }
}

double cut_length(const nc::Event &e) {
    if (e.kind != nc::EventKind::laser) return 0.0;
    if (e.shape == nc::Shape::line) return std::hypot(e.x - e.x0, e.y - e.y0);
    return e.radius * std::fabs(e.sweep) * std::numbers::pi / 180.0;
}

// From standstill to standstill: accelerating to the top speed v, at it,
// braking, each ramp v / a long and v² / (2a) far; a move shorter than the
// two ramps brakes half way, never reaching v: 2 sqrt(d / a).
double TimeModel::axis_seconds(double mm) const {
    const double d = std::fabs(mm);
    if (!(d > 0.0) || !(m_.positioning_speed > 0.0)) return 0.0;
    const double v = m_.positioning_speed * MM_PER_METRE / SECONDS_PER_MINUTE;  // mm a second
    if (!(m_.acceleration > 0.0)) return d / v;
    const double a = m_.acceleration * MM_PER_METRE;  // mm a second squared
    if (d >= v * v / a) return d / v + v / a;
    return 2.0 * std::sqrt(d / a);
}

double TimeModel::move_seconds(double dx, double dy) const { return std::max(axis_seconds(dx), axis_seconds(dy)); }

double TimeModel::stroke_seconds(long long strokes) const {
    return m_.strokes_per_minute > 0.0 ? static_cast<double>(strokes) / m_.strokes_per_minute * SECONDS_PER_MINUTE : 0.0;
}

double TimeModel::cut_seconds(double mm, double feed) const {
    // An inch program's F, as the millimetre program's F for the same feed:
    // the same job cuts as long in either unit.
    const double mm_a_minute = m_.inch ? feed * nc::INCH_F_IN_MM_F : feed;
    return mm_a_minute > 0.0 ? mm / mm_a_minute * SECONDS_PER_MINUTE : 0.0;
}

double TimeModel::index_seconds(double from_degrees, double to_degrees) const {
    double turn = std::fmod(std::fabs(to_degrees - from_degrees), FULL_TURN);
    if (!std::isfinite(turn)) return 0.0;
    turn = std::min(turn, FULL_TURN - turn);
    return m_.index_turn_time * turn / FULL_TURN;
}

double TimeModel::tool_change_seconds(int from_station, int to_station) const {
    if (from_station == 0) return 0.0;  // the first station taken
    const long long ring = std::max(1, m_.turret_stations);
    const long long apart = std::llabs(static_cast<long long>(to_station) - from_station) % ring;
    return m_.tool_change_time + m_.turret_step_time * static_cast<double>(std::min(apart, ring - apart));
}

double TimeModel::pierce_seconds(const nc::Technology &t) const {
    for (const PierceTime &p : m_.pierce_times) {
        if (p.m7x == t.m7x && p.mode == t.mode && p.s == t.s) return p.seconds;
    }
    return m_.pierce_time;
}

EventTime TimeModel::parts(const nc::Event &e) const {
    using nc::EventKind;
    EventTime t;
    if (e.kind == EventKind::nibble && e.shape != nc::Shape::line) {
        const double out = e.radius > 0.0 ? nc::NIBBLE_ARC_ALLOWANCE_MM / e.radius : 0.0;
        t.seconds[PART_POSITIONING] =
            move_seconds(e.x0 - e.xc, e.y0 - e.yc) + move_seconds((e.x - e.xc) * out, (e.y - e.yc) * out);
    } else if (travel_of(e) > 0.0) {
        t.seconds[PART_POSITIONING] = move_seconds(e.x - e.x0, e.y - e.y0);
    }
    switch (e.kind) {
    case EventKind::stroke: t.seconds[PART_PUNCHING] = stroke_seconds(1); break;
    case EventKind::nibble: t.seconds[PART_PUNCHING] = stroke_seconds(nc::nibble_stroke_count(e)); break;
    case EventKind::pierce: t.seconds[PART_PIERCES] = pierce_seconds(e.technology); break;
    case EventKind::laser: t.seconds[PART_CUTTING] = cut_seconds(cut_length(e), e.technology.feed); break;
    case EventKind::tool_change:
        if (e.number != 0) {
            t.seconds[PART_TOOL_CHANGES] = tool_change_seconds(e.number, e.tool.station);
            t.seconds[PART_INDEX] = index_seconds(e.value, 0.0);
        }
        break;
    case EventKind::index_turn: t.seconds[PART_INDEX] = index_seconds(e.value, e.tool.angle); break;
    case EventKind::regrip: t.seconds[PART_REGRIPS] = m_.regrip_time; break;
    case EventKind::stop: t.seconds[is_turn(e) ? PART_TURNS : PART_STOPS] = is_turn(e) ? m_.turn_time : m_.stop_time; break;
    case EventKind::dwell: t.seconds[PART_DWELLS] = std::isfinite(e.value) && e.value > 0.0 ? e.value : 0.0; break;
    default: break;
    }
    return t;
}

}  // namespace stats
