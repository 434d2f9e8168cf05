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

void Counter::add(const nc::Event &e) {
    using nc::EventKind;
    s_.travel += travel_of(e);
    switch (e.kind) {
    case EventKind::stroke:
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
        ++s_.pierces;
        TechnologyCount &t = s_.technologies[technology_words(e.technology)];
        ++t.pierces;
        t.feed = e.technology.feed;
        break;
    }
    case EventKind::laser: {
        const double length = cut_length(e);
        ++s_.laser_elements;
        s_.laser_length += length;
        TechnologyCount &t = s_.technologies[technology_words(e.technology)];
        ++t.elements;
        t.length += length;
        t.feed = e.technology.feed;
        break;
    }
    case EventKind::move:
        ++s_.moves;
        break;
    case EventKind::copy:
        ++s_.pattern_copies;
        if (e.where.line != last_call_) {
            ++s_.pattern_calls;
            last_call_ = e.where.line;
        }
        break;
    case EventKind::trap_door:
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
    const TimeModel time(speeds);
    s.punching_seconds = time.stroke_seconds(s.strokes + s.nibble_strokes);
    s.travel_seconds = time.travel_seconds(s.travel);
    s.laser_seconds = 0.0;
    for (auto &[words, t] : s.technologies) {
        const double seconds = time.cut_seconds(t.length, t.feed);
        t.minutes = seconds / 60.0;
        s.laser_seconds += seconds;
    }
    s.total_seconds = s.punching_seconds + s.travel_seconds + s.laser_seconds + s.dwell;
    return s;
}

}  // namespace stats
