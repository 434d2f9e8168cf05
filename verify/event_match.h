// event_match.h - whether an event of the program is the job's event, within
// the tolerance of the program's rounding; or whether two programs' events
// are one, within the rounding of both (pelk-post diff).
#pragma once

#include <cstddef>
#include <string>

#include "nc/event.h"
#include "verify/comparison.h"

namespace verify {

class EventMatch {
public:
    // a's events are read within the tolerance ta, b's within tb: a
    // program's own rounding, none for the job's expansion, which is exact.
    explicit EventMatch(const Tolerance &ta, const Tolerance &tb = Tolerance{});

    // a: the program's, b: the job's (or the other program's).
    bool match(const nc::Event &a, const nc::Event &b) const;

    // How far a place of a may lie from b's: the tolerance of each side
    // once for every written value that makes the place.
    double place_tolerance(const nc::Event &a, const nc::Event &b) const;
    // How far a's laser path may lie from b's: their ends, and half a unit
    // more for each rounded radius.
    double path_tolerance(const nc::Event &a, const nc::Event &b) const {
        return place_tolerance(a, b) + t_.half_unit;
    }
    // The same rules with the sides the other way round (b's events as a).
    EventMatch swapped() const { return EventMatch(tb_, ta_); }

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

    Tolerance ta_, tb_;
    Tolerance t_;              // both sides' together, for what is compared without its place
    int rounded_sides_ = 0;    // sides whose angles are written rounded (programs)
};

// The most pieces one arc is taken to be cut in.
inline constexpr std::size_t MOST_PIECES = 512;

// How many of the events at the front of a (a's side of m; a queue with
// size() and [i]) are the pieces of the arc or circle b, from its start to
// its end; 0 when they are not.  fill(n) brings a to n events where there
// are that many.
template <typename Events, typename Fill>
std::size_t arc_pieces(const EventMatch &m, Events &a, const nc::Event &b, Fill &fill) {
    double along = 0.0;
    for (std::size_t i = 0; i < MOST_PIECES; ++i) {
        if (a.size() <= i) fill(i + 1);
        if (a.size() <= i || !m.piece_of(a[i], b, i == 0)) return 0;
        const double next = EventMatch::progress(a[i], b, along);
        if (next <= along) return 0;  // the pieces go round the arc, never back
        along = next;
        if (i > 0 && m.ends_arc(a[i], b, along)) return i + 1;
    }
    return 0;
}

}  // namespace verify
