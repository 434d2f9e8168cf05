// random_job.h - seeded random jobs: every step kind of the job format, both
// units, every machine variant and pattern style, with pitches, radii and
// angles that the control's rounding does not take exactly.
//
// The same seed makes the same job text on every platform (the generator
// uses no library distribution), so that a seed that fails can be shown,
// kept and run again.
#pragma once

#include <cstdint>
#include <string>

namespace property {

// The job of one seed, as the text of a job file.  machine_dir is the
// folder of the LASER.PAR the job's laser work uses.
std::string random_job(std::uint64_t seed, const std::string &machine_dir);

}  // namespace property
