// event_time.cpp - the time of one event.
#include "stats/event_time.h"

#include <cmath>
#include <numbers>

#include "nc/nibbling.h"
#include "nc/setup.h"

namespace stats {
namespace {

constexpr double MM_PER_METRE = 1000.0;
constexpr double SECONDS_PER_MINUTE = 60.0;

}  // namespace

double travel_of(const nc::Event &e) {
    using nc::EventKind;
    switch (e.kind) {
    case EventKind::stroke:
    case EventKind::pierce:
    case EventKind::move:
    case EventKind::copy:
    case EventKind::trap_door: return std::hypot(e.x - e.x0, e.y - e.y0);
    default: return 0.0;
    }
}

double cut_length(const nc::Event &e) {
    if (e.kind != nc::EventKind::laser) return 0.0;
    if (e.shape == nc::Shape::line) return std::hypot(e.x - e.x0, e.y - e.y0);
    return e.radius * std::fabs(e.sweep) * std::numbers::pi / 180.0;
}

double TimeModel::stroke_seconds(long long strokes) const {
    return speeds_.strokes_per_minute > 0.0 ? static_cast<double>(strokes) / speeds_.strokes_per_minute * SECONDS_PER_MINUTE
                                            : 0.0;
}

double TimeModel::travel_seconds(double mm) const {
    return speeds_.positioning_speed > 0.0 ? mm / (speeds_.positioning_speed * MM_PER_METRE) * SECONDS_PER_MINUTE : 0.0;
}

double TimeModel::cut_seconds(double mm, double feed) const {
    const double length = speeds_.inch ? mm / nc::MM_PER_INCH : mm;
    return feed > 0.0 ? length / feed * SECONDS_PER_MINUTE : 0.0;
}

double TimeModel::seconds(const nc::Event &e) const {
    using nc::EventKind;
    switch (e.kind) {
    case EventKind::stroke: return stroke_seconds(1) + travel_seconds(travel_of(e));
    case EventKind::nibble: return stroke_seconds(nc::nibble_stroke_count(e));
    case EventKind::laser: return cut_seconds(cut_length(e), e.technology.feed);
    case EventKind::dwell: return e.value;
    default: return travel_seconds(travel_of(e));
    }
}

}  // namespace stats
