// statistics.h - what a program makes the machine do, counted: strokes per
// station (rows, circles, nibbling and patterns expanded) with their time,
// tool changes and index turns, nibbled and laser-cut lengths, pierces per
// technology, pattern calls and copies with the strokes of each pattern,
// re-grips, stops, positioning travel and the longest positioning, the work
// that strikes a clamp's zone or lies off the sheet, and the machine time
// part by part.  A sink of the control model's events (and of the safety
// check's findings on them).
#pragma once

#include <map>
#include <string>
#include <vector>

#include "nc/event.h"
#include "safety/finding.h"
#include "stats/event_time.h"

namespace stats {

struct StationCount {
    long long strokes = 0;         // single strokes, rows, circles
    long long nibble_strokes = 0;  // strokes along nibbled paths
    long long nibble_paths = 0;
    double nibble_length = 0.0;    // mm
    double seconds = 0.0;          // its strokes and the travel to them
};

struct PatternCount {
    long long calls = 0;           // PATnn and MGR/ blocks
    long long copies = 0;
    long long strokes = 0;         // in all its copies, nibbling strokes too
};

struct TechnologyCount {
    long long pierces = 0;
    long long elements = 0;
    double length = 0.0;           // mm
    double feed = 0.0;             // F as written, per minute in the program's unit
    double minutes = 0.0;          // cutting at that feed
};

// The longest move without work, in the control's coordinates.
struct Positioning {
    double length = 0.0;           // mm; 0: none
    long long line = 0;
    double x0 = 0.0, y0 = 0.0, x = 0.0, y = 0.0;
    double seconds = 0.0;
};

struct Statistics {
    long long blocks = 0;              // lines of the program
    std::map<int, StationCount> stations;
    long long strokes = 0;             // all stations, nibbling not included
    long long nibble_strokes = 0;
    long long nibble_paths = 0;
    double nibble_length = 0.0;
    long long tool_changes = 0;        // the first station selected is no change
    long long index_turns = 0;
    std::map<std::string, TechnologyCount> technologies;  // by the words in force: "M72 M27 S450 F2500"
    long long pierces = 0;
    long long laser_elements = 0;
    double laser_length = 0.0;
    long long pattern_calls = 0;       // PATnn and MGR/ blocks
    long long pattern_copies = 0;
    std::map<int, PatternCount> patterns;  // by number
    long long regrips = 0;
    long long stops = 0;               // all of them, flips and turns too
    long long turns = 0;               // of them, for the operator to flip or turn the sheet
    long long moves = 0;               // positionings without work (M03, M05, M40, MOV/)
    long long trap_doors = 0;
    long long dwells = 0;
    double travel = 0.0;               // mm moved without working
    Positioning longest;
    double dwell = 0.0;                // seconds

    // From the check of the clamps' zones and the sheet's outline.
    long long strokes_in_clamp_zones = 0;  // nibbling strokes too
    long long strokes_off_sheet = 0;
    long long cuts_in_clamp_zones = 0;     // laser elements
    long long cuts_off_sheet = 0;

    // The machine time, part by part (Part), and how many of each part's
    // work: strokes, positionings, tool changes, index turns, pierces, laser
    // elements, re-grips, stops, flips and turns, dwells.
    double part_seconds[PART_COUNT] = {};
    long long part_count[PART_COUNT] = {};
    double total_seconds = 0.0;
};

class Counter {
public:
    explicit Counter(const TimeModel &time) : time_(time) {}
    void add(const nc::Event &e);
    // What the safety check found of the event just added.
    void add_findings(const std::vector<safety::Finding> &found);
    // The counts with the time summed; blocks: the program's lines.
    Statistics result(long long blocks) const;

private:
    const TimeModel &time_;
    Statistics s_;
    long long last_call_ = -1;         // the line of the last call counted
    int pattern_ = 0;                  // the pattern of the copy running
    bool station_selected_ = false;    // a T word came: the next one is a change
};

// The technology's words as a key: "M72 M27 S450 F2500".
std::string technology_words(const nc::Technology &t);

}  // namespace stats
