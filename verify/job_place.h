// job_place.h - where in the job an event comes from, and the job's own
// names for it ("work[17] (hit)").
#pragma once

#include <cstddef>
#include <string>

#include "job/job.h"
#include "nc/event.h"

namespace verify {

struct JobPlace {
    enum class Part : unsigned char { header, work, pattern, trailer };
    Part part = Part::work;
    std::size_t step = 0;         // work: its index; pattern: the pattern's index in job.patterns
    bool in_copy = false;         // a step of a pattern body, run by the call work[step]
    std::size_t pattern = 0;      // in a copy: the pattern's index in job.patterns
    std::size_t body_step = 0;    // in a copy, or part pattern: the step of the body
    long long copy = -1;          // in a copy: which copy of the call, from 0
    long long item = -1;          // an element of a contour, a hit of a row, a hole of a circle
    const char *what = "";        // header and trailer: the value it comes from
};

// What the job expands to: an event and its place.
struct JobEvent {
    nc::Event event;
    JobPlace place;
};

// The kind of a step as the job file names it ("hit", "row", ...).
const char *step_kind_name(const job::Operation &op, const job::Job &job);

// The step's place as a JSON path of the job file, as the post names it in
// its warnings: "/work/17", or "/patterns/0/body/1" for a step of a body
// (written once, whichever copy runs it); "" for the header and trailer.
std::string json_path(const JobPlace &place);

// "work[17] (hit)", "work[3] (pattern_repeat) copy 2: patterns[0].body[1] (hit)",
// "work[5] (laser_contour) elements[2]", "work[4] (row) hit 3", "trailer (park)".
std::string place_name(const JobPlace &place, const job::Job &job);

}  // namespace verify
