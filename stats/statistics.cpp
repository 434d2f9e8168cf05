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
    const EventTime time = time_.parts(e);
    for (int p = 0; p < PART_COUNT; ++p) s_.part_seconds[p] += time.seconds[p];
    const double travel = travel_of(e);
    s_.travel += travel;
    if (travel > 0.0) {
        ++s_.part_count[PART_POSITIONING];
        if (travel > s_.longest.length) {
            // A nibbled arc's travel: from its centre out to its start.
            const bool nibbled_arc = e.kind == EventKind::nibble;
            s_.longest = Positioning{travel,
                                     e.where.line,
                                     nibbled_arc ? e.xc : e.x0,
                                     nibbled_arc ? e.yc : e.y0,
                                     nibbled_arc ? e.x0 : e.x,
                                     nibbled_arc ? e.y0 : e.y,
                                     time.seconds[PART_POSITIONING]};
        }
    }
    switch (e.kind) {
    case EventKind::stroke: {
        ++s_.strokes;
        StationCount &station = s_.stations[e.tool.station];
        ++station.strokes;
        station.seconds += time.total();
        if (e.where.call_line != 0) ++s_.patterns[pattern_].strokes;
        break;
    }
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
        station.seconds += time.total();
        if (e.where.call_line != 0) add_saturating(s_.patterns[pattern_].strokes, n);
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
    case EventKind::copy: {
        PatternCount &pattern = s_.patterns[e.number];
        pattern_ = e.number;
        ++s_.pattern_copies;
        ++pattern.copies;
        if (e.where.line != last_call_) {
            ++s_.pattern_calls;
            ++pattern.calls;
            last_call_ = e.where.line;
        }
        break;
    }
    case EventKind::trap_door:
        ++s_.trap_doors;
        break;
    case EventKind::stop:
        ++s_.stops;
        if (is_turn(e)) ++s_.turns;
        break;
    case EventKind::regrip: ++s_.regrips; break;  // the clamps travel, not the work
    case EventKind::dwell:
        ++s_.dwells;
        s_.dwell += e.value;
        break;
    case EventKind::tool_change:
        if (station_selected_) ++s_.tool_changes;
        station_selected_ = true;
        break;
    case EventKind::index_turn: ++s_.index_turns; break;
    default: break;  // the frame, words of the laser and the feed: nothing to count
    }
}

void Counter::add_findings(const std::vector<safety::Finding> &found) {
    // A stroke counts once however many zones it strikes; a nibbled path
    // with the strokes that strike, a laser element once.
    bool clamp = false, off = false;
    for (const safety::Finding &f : found) {
        const bool in_zone = f.hazard == safety::Hazard::clamp;
        switch (f.work) {
        case safety::Work::stroke: (in_zone ? clamp : off) = true; break;
        case safety::Work::nibble_stroke:
            add_saturating(in_zone ? s_.strokes_in_clamp_zones : s_.strokes_off_sheet, f.count);
            break;
        case safety::Work::laser_cut: (in_zone ? s_.cuts_in_clamp_zones : s_.cuts_off_sheet) += 1; break;
        }
    }
    if (clamp) ++s_.strokes_in_clamp_zones;
    if (off) ++s_.strokes_off_sheet;
}

Statistics Counter::result(long long blocks) const {
    Statistics s = s_;
    s.blocks = blocks;
    for (auto &[words, t] : s.technologies) t.minutes = time_.cut_seconds(t.length, t.feed) / 60.0;
    s.part_count[PART_PUNCHING] = s.strokes;
    add_saturating(s.part_count[PART_PUNCHING], s.nibble_strokes);
    s.part_count[PART_TOOL_CHANGES] = s.tool_changes;
    s.part_count[PART_INDEX] = s.index_turns;
    s.part_count[PART_PIERCES] = s.pierces;
    s.part_count[PART_CUTTING] = s.laser_elements;
    s.part_count[PART_REGRIPS] = s.regrips;
    s.part_count[PART_STOPS] = s.stops - s.turns;
    s.part_count[PART_TURNS] = s.turns;
    s.part_count[PART_DWELLS] = s.dwells;
    s.total_seconds = 0.0;
    for (double seconds : s.part_seconds) s.total_seconds += seconds;
    return s;
}

}  // namespace stats
