// statistics.cpp - counting the events of a program.
#include "stats/statistics.h"

#include <cmath>
#include <cstdio>
#include <limits>
#include <numbers>

#include "nc/nibbling.h"
#include "nc/setup.h"

namespace stats {
namespace {

constexpr double MM_PER_METRE = 1000.0;
constexpr double SECONDS_PER_MINUTE = 60.0;

std::string trimmed(double value) {
    char text[48];
    std::snprintf(text, sizeof text, "%.3f", value);
    std::string s = text;
    while (s.back() == '0') s.pop_back();
    if (s.back() == '.') s.pop_back();
    return s;
}

}  // namespace

std::string technology_words(const nc::Technology &t) {
    static const char *const MODE_WORDS[] = {"M28", "M27", "M34", "M35"};
    std::string words = t.m7x >= 1 && t.m7x <= 4 ? "M7" + std::to_string(t.m7x) : "no M7x";
    words += t.mode >= 0 && t.mode <= 3 ? std::string(" ") + MODE_WORDS[t.mode] + " S" + std::to_string(t.s) : " no technology word";
    return words + " F" + trimmed(t.feed);
}

// A count that reaches the largest number stays there: a nibbled path of a
// trillion strokes, copied ten million times, counts as many as there can be.
static void add_saturating(long long &count, long long n) {
    count = n > std::numeric_limits<long long>::max() - count ? std::numeric_limits<long long>::max() : count + n;
}

void Counter::travel(const nc::Event &e) { s_.travel += std::hypot(e.x - e.x0, e.y - e.y0); }

void Counter::add(const nc::Event &e) {
    using nc::EventKind;
    switch (e.kind) {
    case EventKind::stroke:
        travel(e);
        ++s_.strokes;
        ++s_.stations[e.tool.station].strokes;
        break;
    case EventKind::nibble: {
        StationCount &station = s_.stations[e.tool.station];
        const long long n = nc::nibble_stroke_count(e);
        const double length = nc::nibble_length(e);
        ++s_.nibble_paths;
        ++station.nibble_paths;
        add_saturating(s_.nibble_strokes, n);
        add_saturating(station.nibble_strokes, n);
        s_.nibble_length += length;
        station.nibble_length += length;
        break;
    }
    case EventKind::pierce: {
        travel(e);
        ++s_.pierces;
        TechnologyCount &t = s_.technologies[technology_words(e.technology)];
        ++t.pierces;
        t.feed = e.technology.feed;
        break;
    }
    case EventKind::laser: {
        double length = 0.0;
        if (e.shape == nc::Shape::line) length = std::hypot(e.x - e.x0, e.y - e.y0);
        else length = e.radius * std::fabs(e.sweep) * std::numbers::pi / 180.0;
        ++s_.laser_elements;
        s_.laser_length += length;
        TechnologyCount &t = s_.technologies[technology_words(e.technology)];
        ++t.elements;
        t.length += length;
        t.feed = e.technology.feed;
        break;
    }
    case EventKind::move:
        travel(e);
        ++s_.moves;
        break;
    case EventKind::copy:
        travel(e);
        ++s_.pattern_copies;
        if (e.where.line != last_call_) {
            ++s_.pattern_calls;
            last_call_ = e.where.line;
        }
        break;
    case EventKind::trap_door:
        travel(e);
        ++s_.trap_doors;
        break;
    case EventKind::stop: ++s_.stops; break;
    case EventKind::regrip: ++s_.regrips; break;  // the clamps travel, not the work
    case EventKind::dwell: s_.dwell += e.value; break;
    case EventKind::tool_change:
        if (station_selected_) ++s_.tool_changes;
        station_selected_ = true;
        break;
    case EventKind::index_turn: ++s_.index_turns; break;
    default: break;  // the frame, words of the laser and the feed: nothing to count
    }
}

Statistics Counter::result(long long blocks, const Speeds &speeds) const {
    Statistics s = s_;
    s.blocks = blocks;
    s.punching_seconds = static_cast<double>(s.strokes + s.nibble_strokes) / speeds.strokes_per_minute * SECONDS_PER_MINUTE;
    s.travel_seconds = s.travel / (speeds.positioning_speed * MM_PER_METRE) * SECONDS_PER_MINUTE;
    s.laser_seconds = 0.0;
    for (auto &[words, t] : s.technologies) {
        const double length = speeds.inch ? t.length / nc::MM_PER_INCH : t.length;
        t.minutes = t.feed > 0.0 ? length / t.feed : 0.0;
        s.laser_seconds += t.minutes * SECONDS_PER_MINUTE;
    }
    s.total_seconds = s.punching_seconds + s.travel_seconds + s.laser_seconds + s.dwell;
    return s;
}

}  // namespace stats
