// pattern_walk.h - what the host knows about a pattern of the job besides
// its steps: the tool the pattern starts with, and where the tool, the
// station and the index stand once the control has run it.
//
// A pattern body is given relative to the pattern's origin; the host keeps
// that origin at (0, 0) for the body, so the body's coordinates are used as
// they stand and a call at (x, y) places them at (x, y) + body coordinates.
#pragma once

#include "job/job.h"

namespace host::detail {

// The tool a call puts in place for the pattern, as the call hooks take it:
// the body's punch (the tool and index angle of its first step that punches)
// whether or not a laser contour comes before it, for the control repeats
// the body without its tool changes; the turret's laser head (angle 0) for a
// body that only cuts.  tool is 0 when the body does neither.
struct PatternEntry {
    int tool = 0;            // host tool number
    double angle = 0.0;      // degrees
    int indexable = 0;       // 1: the station turns (the call writes the C word)
    bool laser = false;      // tool is the laser head
    bool cuts = false;       // the body holds a laser contour
};
PatternEntry pattern_entry(const job::Pattern &pattern, const job::Job &job);

// The one punch station the body uses (a pattern punches with one station,
// the job reader sees to that), or 0 for a body of laser work only.
int pattern_station(const job::Pattern &pattern, const job::Job &job);

// Where the last step of the body leaves the tool, relative to the origin,
// and the index angle of the body's last indexed punch step.
struct PatternExit {
    double x = 0.0;          // as the control has it
    double y = 0.0;
    double job_x = 0.0;      // as the job has it
    double job_y = 0.0;
    bool indexed = false;    // a punch step of an indexable station turned the index
    double angle = 0.0;      // degrees, when indexed
};
PatternExit pattern_exit(const job::Pattern &pattern, const job::Job &job);

// Where the job has the tool after the step op, given where it stood before
// (x, y): a step with an end point there, a punching element where the
// control leaves the tool, a re-grip by the explicit sequence its distance
// back, a flip or turn at the load position, a step without a place of its
// own (a stop, a dwell) where it stood.  Not for pattern calls.
void step_end_point(const job::Operation &op, const job::Job &job, double &x, double &y);

// What a call of the pattern needs of its body, worked out at the first call
// of a program and kept for the program: a pattern called a million times is
// walked once.  pattern must be one of job.patterns.
struct PatternFacts {
    PatternEntry entry;
    int station = 0;
    PatternExit exit;
};
const PatternFacts &pattern_facts(const job::Pattern &pattern, const job::Job &job);

// The host's state once the control has run the pattern, its last copy
// with its origin at (x, y) (where the control placed it, from the values
// as written) and at (job_x, job_y) in the job: the position that copy
// leaves the tool at, its station and index angle, and where the job has
// the tool.
void take_pattern_exit(const job::Pattern &pattern, const job::Job &job, double x, double y, double job_x,
                       double job_y);

// The host's start state for writing the body of a definition: origin (0, 0)
// with the tool standing there, the pattern's station in place as every call
// puts it there, index at 0, laser off and head up, and the body marked as
// being written.
void begin_pattern_body(const job::Pattern &pattern, const job::Job &job);

}  // namespace host::detail
