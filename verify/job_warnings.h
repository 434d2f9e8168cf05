// job_warnings.h - what the post of a job warns of besides the drift of its
// nibbling, told again by the check of its program in the same words: the
// operator and the programmer see the same list whichever they run.
#pragma once

#include <string>
#include <vector>

#include "job/job.h"

namespace verify {

// Each text once, in the order the post first gives it: a material without
// its number under 7001; a pattern number above the control's limit; a
// circle or arc nibbled with an indexable station.
std::vector<std::string> job_warnings(const job::Job &job);

}  // namespace verify
