// event_time.h - the machine time of one event: the one estimate of how long
// a program takes, event by event.  The statistics add it up by part; the
// page shows it so far and plays a program at its pace.
//
// The parts, each from the machine's keys (job/job.h):
//   punching     a stroke at the stroke rate, rows and nibbling alike;
//   positioning  each move of the sheet without work (a positioning, and the
//                travel to a stroke, a pierce, a pattern copy or the trap
//                door, and a nibbled arc's out from its centre to its start
//                and the allowance out from its end), the X and Y axes at once, each accelerating to the
//                top speed and braking (or braking half way): the longer of
//                the two;
//   tool changes a fixed time, and a time for each station the turret turns
//                past the shorter way round (the first station taken costs
//                nothing: the turret is taken to stand there);
//   index        the index's time for a whole turn, in proportion to the
//                angle it turns the shorter way (an index left turned when
//                the turret turns goes back to 0 first);
//   pierces      each laser start, the time of its technology (found by its
//                words) or the machine's;
//   cutting      each laser element at its feed as written: mm a minute,
//                and on an inch program F × 2.54 mm a minute (the inch F of
//                a feed is the millimetre F / 2.54);
//   re-grips, stops, flips and turns (a stop whose note tells the operator
//                to flip or turn the sheet), dwells: their time each.
#pragma once

#include <vector>

#include "nc/event.h"

namespace stats {

// A laser technology's pierce time, by the words it writes.
struct PierceTime {
    int m7x = 0;
    int mode = -1;
    long long s = 0;
    double seconds = 0.0;
};

// The machine's speeds and times (the defaults are the machine keys').
struct MachineTimes {
    double strokes_per_minute = 300.0;
    double positioning_speed = 60.0;   // metres per minute, each axis
    double acceleration = 10.0;        // metres per second squared, each axis
    double tool_change_time = 1.5;     // seconds
    double turret_step_time = 0.0;     // seconds per station turned past
    int turret_stations = 32;
    double index_turn_time = 1.2;      // seconds per whole turn
    double pierce_time = 0.5;          // seconds, for a technology without its own
    std::vector<PierceTime> pierce_times;
    double regrip_time = 4.0;
    double stop_time = 10.0;
    double turn_time = 60.0;
    bool inch = false;                 // an inch program: F × 2.54 is mm a minute
};

enum Part : int {
    PART_PUNCHING,
    PART_POSITIONING,
    PART_TOOL_CHANGES,
    PART_INDEX,
    PART_PIERCES,
    PART_CUTTING,
    PART_REGRIPS,
    PART_STOPS,
    PART_TURNS,
    PART_DWELLS,
    PART_COUNT
};

// An event's time, part by part, seconds.
struct EventTime {
    double seconds[PART_COUNT] = {};
    double total() const;
};

class TimeModel {
public:
    explicit TimeModel(const MachineTimes &times) : m_(times) {}

    EventTime parts(const nc::Event &e) const;
    // Seconds the machine takes for e.
    double seconds(const nc::Event &e) const { return parts(e).total(); }

    // The parts' own rules.
    // One axis moving distance mm from standstill to standstill.
    double axis_seconds(double mm) const;
    // A positioning by (dx, dy): both axes at once.
    double move_seconds(double dx, double dy) const;
    double stroke_seconds(long long strokes) const;
    double cut_seconds(double mm, double feed) const;
    double index_seconds(double from_degrees, double to_degrees) const;
    double tool_change_seconds(int from_station, int to_station) const;
    double pierce_seconds(const nc::Technology &t) const;

    const MachineTimes &machine() const { return m_; }

private:
    MachineTimes m_;
};

// How far the tool goes without working on its way to e's place (0 for
// events that are not reached by travelling).
double travel_of(const nc::Event &e);

// The length that a laser element cuts, mm.
double cut_length(const nc::Event &e);

// Whether a stop is for the operator to flip or turn the sheet: one the
// operator is told about (a comment stands just before it).
inline bool is_turn(const nc::Event &e) { return e.kind == nc::EventKind::stop && e.number == 1; }

}  // namespace stats
