// comparison.h - a program read back against its job: two streams of events
// matched in order, within a tolerance that follows from the program's
// rounding.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "job/job.h"
#include "nc/event.h"
#include "nc/generator.h"
#include "verify/job_place.h"
#include "verify/laser_par_section.h"

namespace verify {

// The program writes lengths to 0.01 mm (0.001 inch), so a place read back
// may lie half of that from the job's; the allowance covers the arithmetic
// of the expansions.  Angles are written to 0.01 degrees and an index word
// is left out for a change below 0.002 degrees.
inline constexpr double DEFAULT_ALLOWANCE_MM = 0.001;

struct Tolerance {
    double position = 0.0;   // mm, for places, lengths and radii
    double composed = 0.0;   // mm, for places the control works out from two written places: inside a
                             // copy of a pattern (its origin and the body's word), along a nibbled path
                             // (its start or centre, and its length or radius)
    double angle = 0.0;      // degrees, for index angles and sweeps
    double feed = 0.0;       // F as written
    double time = 0.0;       // dwell
};

// Half a unit of the last digit written (0.005 mm, or 0.0005 inch = 0.0127
// mm) plus the allowance; twice half a unit plus the allowance where two
// written values make one place (a copy's origin and a word of its body, a
// nibbled path's start or centre and its length or radius); angles 0.005 degrees of rounding, 0.002 of the
// index word's own step and 0.003 more (0.01 in all); F and dwell times half
// a unit of their last digit.
Tolerance program_tolerance(bool inch, double allowance_mm = DEFAULT_ALLOWANCE_MM);

struct ComparisonOptions {
    Tolerance tolerance;
    std::size_t messages = 10;   // how many differences are told in full
    // The block map's name of a line ("work[16] (hit)"), or "" when there
    // is none; shown beside the line.
    std::function<std::string(long long line)> line_name;
};

// Where a difference told in full lies: the program's line (0: none) and,
// when it has one, the place of the event (the program's, or the job's for
// one the program lacks), in the control's coordinates.
struct DifferencePlace {
    long long line = 0;
    bool placed = false;
    double x = 0.0, y = 0.0;
};

struct ComparisonResult {
    long long differences = 0;
    std::vector<std::string> messages;   // the first ones, in full
    std::vector<DifferencePlace> places; // where each of them lies
    long long events = 0;                // events of the program compared
};

// Matches the program's events against the job's.  Every stroke at its
// place, with its station (and index angle where the station turns, forming
// and M61x modes where the variant switches them), in the job's order;
// every nibbled path from its start to its end with a step no larger than
// the job's; every laser element's start and end in order, with its
// technology and compensation; the moves, stops, re-grips, copies of
// patterns, dwells and feed ranges the job implies; nothing extra, nothing
// missing.  The laser parameters are held against the section: every run
// of parameter lines must be the whole section, and no cut may start
// before one has run.  Throws what the program's events throw
// (nc::ProgramError for a block the control cannot run).
ComparisonResult compare(nc::Generator<nc::Event> &program, nc::Generator<JobEvent> &job_events,
                         const job::Job &job, const LaserParSection &section, const ComparisonOptions &options);

}  // namespace verify
