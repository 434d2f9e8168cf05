// job_warnings.h - what the post of a job warns of, told again by the check
// of its program in the same words: the operator and the programmer see the
// same list whichever they run.
#pragma once

#include <string>
#include <vector>

#include "job/job.h"

namespace verify {

// Each text once, in the order the post first gives it: a material without
// its number under 7001; a pattern number above the control's limit; a
// nibbled line or arc the control ends off the job's end by more than two
// written values may put it, as the rounding of its values carries it; a
// circle or arc nibbled with an indexable station.  (What LASER.PAR gives to
// warn of is the section's: laser_par_section.h.)
std::vector<std::string> job_warnings(const job::Job &job);

}  // namespace verify
