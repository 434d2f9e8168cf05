// work_match.h - whether an event of one program is an event of the other:
// verify's rules (verify/event_match.h), within the rounding of both
// programs, with what diff leaves to the form of writing: how a re-grip is
// written, and with what it holds beside the work (the stop's text for the
// operator, the laser parameters in force at a laser start, a nibbled
// path's step both ways).  And what differs between two that are not one,
// in words.
#pragma once

#include <string>

#include "nc/event.h"
#include "verify/comparison.h"
#include "verify/event_match.h"

namespace diff {

class WorkMatch {
public:
    // The rounding of the old program's and of the new one's.
    WorkMatch(const verify::Tolerance &old_t, const verify::Tolerance &new_t);

    // a: the old program's event, b: the new one's.
    bool match(const nc::Event &a, const nc::Event &b) const;
    // The same, with b the old program's and a the new one's.
    bool match_swapped(const nc::Event &a, const nc::Event &b) const { return match(b, a); }

    // "the place", "the station, the index angle", ...: what makes a and b
    // two things; the same words group the same difference.
    std::string what_differs(const nc::Event &a, const nc::Event &b) const;

    // verify's rules for a laser arc cut in pieces: the old program's as a,
    // and the other way round.
    const verify::EventMatch &rules() const { return rules_; }
    const verify::EventMatch &swapped_rules() const { return swapped_; }

    // How far two places of one event may lie apart at the most (a place
    // made of two written values on each side).
    double widest() const { return widest_; }

private:
    verify::EventMatch rules_;
    verify::EventMatch swapped_;
    double angle_, feed_;
    double widest_;
};

}  // namespace diff
