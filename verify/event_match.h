// event_match.h - whether an event of the program is the job's event, within
// the tolerance of the program's rounding.
#pragma once

#include <string>

#include "nc/event.h"
#include "verify/comparison.h"

namespace verify {

class EventMatch {
public:
    explicit EventMatch(const Tolerance &t) : t_(t) {}

    // a: the program's, b: the job's.
    bool match(const nc::Event &a, const nc::Event &b) const;

    // How far a place of the program's event a may lie from the job's.
    double place_tolerance(const nc::Event &a) const;
    // How far a's laser path may lie from the job's: its ends, and half a
    // unit more for its radius.
    double path_tolerance(const nc::Event &a) const { return place_tolerance(a) + t_.half_unit; }

    // ---- A job's arc the host cut in pieces ------------------------------------
    // Whether a is a piece of the job's arc or circle b, cut where b runs.
    // first: a is the run's first piece, which starts where b does.
    bool piece_of(const nc::Event &a, const nc::Event &b, bool first) const;
    // How far round b the piece a has come at its end, degrees from b's start
    // in b's sense; before: how far the piece before it came.
    static double progress(const nc::Event &a, const nc::Event &b, double before);
    // Whether the piece a ends where b does, having come round it by along.
    bool ends_arc(const nc::Event &a, const nc::Event &b, double along) const;

    // ---- A nibbled path the control cannot end exactly --------------------------
    // How far the end of the nibbled path a lies from the job's b, when it
    // lies farther than a place may but no farther than the rounding of its
    // values can carry it (the post warned of it); 0 otherwise.
    double nibbling_drift(const nc::Event &a, const nc::Event &b) const;

    // ---- Telling ---------------------------------------------------------------
    // What differs between a and b, for grouping repeated differences:
    // the kind and the fields that differ, with their values where they are
    // no places ("stroke: T3 for T5").
    std::string what_differs(const nc::Event &a, const nc::Event &b) const;

private:
    bool same_tool(const nc::Event &a, const nc::Event &b) const;
    bool same_technology(const nc::Technology &a, const nc::Technology &b) const;
    bool nibble_matches(const nc::Event &a, const nc::Event &b, bool allow_drift) const;

    const Tolerance t_;
};

}  // namespace verify
