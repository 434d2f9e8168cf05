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
#include "nc/text_table.h"
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
    double composed = 0.0;   // mm, for places the control works out from two written values, each as far
                             // off as a place: inside a copy of a pattern (its origin and the body's
                             // word), along a nibbled path (its start or centre, and its length or radius)
    double half_unit = 0.0;  // mm, half a unit of the last digit written: a laser path may lie this much
                             // farther from the job's than its ends, its radius being rounded as well
    double angle = 0.0;      // degrees, for index angles and sweeps
    double feed = 0.0;       // F as written
    double time = 0.0;       // dwell
};

// Half a unit of the last digit written (0.005 mm, or 0.0005 inch = 0.0127
// mm) plus the allowance; twice that where two written values make one
// place (a copy's origin and a word of its body, a
// nibbled path's start or centre and its length or radius, the explicit
// re-grip's travel); a nibbled arc's start the rounding of its start angle
// more; a laser path
// half a unit farther than its ends; angles 0.005 degrees of rounding, 0.002
// of the index word's own step and 0.003 more (0.01 in all); F and dwell
// times half a unit of their last digit.
Tolerance program_tolerance(bool inch, double allowance_mm = DEFAULT_ALLOWANCE_MM);

struct ComparisonOptions {
    Tolerance tolerance;
    std::size_t messages = 10;   // how many differences are told in full
    // The block map's name of a line ("work[16] (hit)"), or "" when there
    // is none; shown beside the line.
    std::function<std::string(long long line)> line_name;
    // The table the events' texts are numbered in (the setup's).
    const nc::TextTable *texts = nullptr;
};

// Where a difference told in full lies: the program's line (0: none) and,
// when it has one, the place of the event (the program's, or the job's for
// one the program lacks), in the control's coordinates.
struct DifferencePlace {
    long long line = 0;
    bool placed = false;
    double x = 0.0, y = 0.0;
    long long other_line = 0;   // two programs compared: the other's line (0: none)
};

struct ComparisonResult {
    long long differences = 0;
    std::vector<std::string> messages;   // the first ones, in full
    // What the post warned of as well, each text once: a nibbled path the
    // rounding of its values ends off its place, a LASER.PAR without the
    // sheet's section, lines of the section the control cannot take.
    std::vector<std::string> warnings;
    std::vector<DifferencePlace> places; // where each difference told in full lies
    long long events = 0;                // events of the program compared
    long long lines = 0;                 // lines of the program read
};

// Matches the program's events against the job's, everything the program
// makes the machine and the operator do: the frame (start, program number,
// laser-work words, rewind, end, every line ended CR LF), the header
// comments; every stroke at its place, with its station (and index angle
// where the station turns, forming and M61x modes where the variant
// switches them); every station taken, with the index at 0; every nibbled
// path from its start to its end with a step no larger than the job's;
// every laser start with its head mode, technology words, S value and
// compensation; every laser element by its path, with its feed and junction
// word; the laser head going up; the moves, stops, comments for the
// operator, free texts, re-grips, copies of patterns, dwells, trap doors and
// feed ranges the job implies; nothing extra, nothing missing.  The laser
// parameters are held against the section: every run of parameter lines
// must be the whole section, and no cut may start before one has run.
// Throws what the program's events throw (nc::ProgramError for a block the
// control cannot run).
ComparisonResult compare(nc::Generator<nc::Event> &program, nc::Generator<JobEvent> &job_events,
                         const job::Job &job, const LaserParSection &section, const ComparisonOptions &options);

}  // namespace verify
