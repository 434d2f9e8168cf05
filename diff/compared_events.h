// compared_events.h - a program's events as pelk-post diff compares them:
// what the machine and the operator do, on the sheet, with the forms of
// writing it taken out.
//
//  - Places are the sheet's (nc/sheet_frame.h): a re-grip by REP/ or by the
//    explicit sequence, and a frame block, change the control's coordinates,
//    not where the work lies on the sheet.
//  - A laser feed is the F a millimetre program writes for it: an inch
//    program writes the feed × 1000 / 25.4, a millimetre program the feed ×
//    100, so an inch F counts 2.54 times.
//  - The comments right before a stop are what the operator is told there:
//    the stop's text.  Other comments are not compared.
//  - The laser parameters (the lines of the LASER.PAR section, or commands
//    of the machine's own, "LPAR/...") are what is in force at each laser
//    start, its number: the same section sent again changes nothing.
//  - Not compared: the pattern copies themselves (their work is), the
//    positioning onto a copy's origin, MOV/ and positionings that go
//    nowhere, tool changes and index turns (every stroke carries its station
//    and index angle), frame blocks, and how lines end.
#pragma once

#include <deque>
#include <string>
#include <vector>

#include "nc/event.h"
#include "nc/generator.h"
#include "nc/setup.h"
#include "nc/sheet_frame.h"
#include "nc/text_table.h"
#include "verify/comparison.h"

namespace diff {

using nc::INCH_F_IN_MM_F;

// The tolerance of a program's own rounding (verify/comparison.h), its feed
// counted in the millimetre machine's F.
verify::Tolerance side_tolerance(bool inch, double allowance_mm);

// What a program holds that is not compared, counted.
struct Uncompared {
    long long comments = 0;            // comments that are no stop's text
    long long copies = 0;              // pattern copies (their work is compared)
    long long copy_positionings = 0;   // positionings onto a copy's origin, part of its call
    long long idle_positionings = 0;   // MOV/, and positionings that go nowhere
    long long tool_changes = 0;        // carried by the strokes
    long long index_turns = 0;
    long long frames = 0;              // FRM/
    long long parameter_runs = 0;      // runs of laser parameter lines
    long long line_forms = 0;          // lines not ended as the dialect ends them
};

class ComparedEvents {
public:
    // texts: the table the program's texts are numbered in; the stop's
    // texts and the laser parameters are numbered there too.
    ComparedEvents(nc::Generator<nc::Event> &events, nc::TextTable &texts, bool inch, const verify::Tolerance &t);

    // The next event compared; false at the end.  Throws what the program's
    // events throw.
    bool next(nc::Event &e);

    const Uncompared &uncompared() const { return uncompared_; }

private:
    // Takes e from the program: true when e itself is the next event
    // compared (nothing waits before it), false when it was kept or left out.
    bool take(nc::Event &e);
    void release_move();
    void end_parameters();
    void emit();  // what waited before the event taken goes first
    bool travels(const nc::Event &e) const;
    bool near(double a, double b) const;

    nc::Generator<nc::Event> &events_;
    nc::TextTable &texts_;
    bool inch_;
    verify::Tolerance t_;
    nc::SheetFrame frame_;
    Uncompared uncompared_;
    std::deque<nc::Event> ready_;
    bool holding_move_ = false;        // a plain positioning, until it is known not to be a copy's
    nc::Event held_move_;
    std::vector<std::string> comments_;     // the comments since the last event
    std::string parameters_;           // the run of parameter lines being read
    bool in_parameters_ = false;
    int parameters_in_force_ = -1;     // the text of the last run
};

}  // namespace diff
