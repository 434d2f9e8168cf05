// event_time.h - the machine time of one event: the one estimate of how long
// a program takes, event by event.  The statistics add it up by kind; the
// page shows it so far and plays a program at its pace.
//
// Punching costs a stroke at the machine's stroke rate, positioning its
// distance at the positioning speed (moves, and the travel to a stroke, a
// pierce, a pattern copy or the trap door), laser cutting its length at the
// feed written (inches per minute on an inch program), a dwell its time.
// Tool changes, index turns, re-grips and stops cost nothing yet.
#pragma once

#include "nc/event.h"

namespace stats {

// The machine's speeds for the estimate.
struct Speeds {
    double strokes_per_minute = 300.0;
    double positioning_speed = 60.0;   // metres per minute
    bool inch = false;                 // F is inches per minute
};

class TimeModel {
public:
    explicit TimeModel(const Speeds &speeds) : speeds_(speeds) {}
    // Seconds the machine takes for e.
    double seconds(const nc::Event &e) const;

    // The parts of the estimate, for the statistics' sums.
    double stroke_seconds(long long strokes) const;
    double travel_seconds(double mm) const;
    double cut_seconds(double mm, double feed) const;

private:
    Speeds speeds_;
};

// How far the tool goes without working on its way to e's place (0 for
// events that are not reached by travelling).
double travel_of(const nc::Event &e);

// The length that a laser element cuts, mm.
double cut_length(const nc::Event &e);

}  // namespace stats
