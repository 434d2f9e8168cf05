// statistics.h - what a program makes the machine do, counted: strokes per
// station (rows, circles, nibbling and patterns expanded), tool changes and
// index turns, nibbled and laser-cut lengths, pierces per technology, pattern
// calls and copies, re-grips, stops, positioning travel, and an estimate of
// the machine time.  A sink of the control model's events.
#pragma once

#include <map>
#include <string>

#include "nc/event.h"
#include "stats/event_time.h"

namespace stats {

struct StationCount {
    long long strokes = 0;         // single strokes, rows, circles
    long long nibble_strokes = 0;  // strokes along nibbled paths
    long long nibble_paths = 0;
    double nibble_length = 0.0;    // mm
};

struct TechnologyCount {
    long long pierces = 0;
    long long elements = 0;
    double length = 0.0;           // mm
    double feed = 0.0;             // F as written, per minute in the program's unit
    double minutes = 0.0;          // cutting at that feed
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
    long long regrips = 0;
    long long stops = 0;
    long long moves = 0;               // positionings without work (M03, M05, M40, MOV/)
    long long trap_doors = 0;
    double travel = 0.0;               // mm moved without working
    double dwell = 0.0;                // seconds
    // The estimate, in seconds: strokes, travel without work, laser cutting
    // at its feeds and dwells; tool changes, index turns, pierces, re-grips
    // and stops are not in it.
    double punching_seconds = 0.0;
    double travel_seconds = 0.0;
    double laser_seconds = 0.0;
    double total_seconds = 0.0;
};

class Counter {
public:
    void add(const nc::Event &e);
    // The counts with the estimate worked out; blocks: the program's lines.
    Statistics result(long long blocks, const Speeds &speeds) const;

private:
    Statistics s_;
    long long last_call_ = -1;         // the line of the last call counted
    bool station_selected_ = false;    // a T word came: the next one is a change
};

// The technology's words as a key: "M72 M27 S450 F2500".
std::string technology_words(const nc::Technology &t);

}  // namespace stats
