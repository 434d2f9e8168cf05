// job_digest.h - a job as text, field by field, so that two readings of one
// job file can be compared whole.
#pragma once

#include <string>

#include "job/job.h"

namespace fuzz {

// Every value of the job, numbers exactly ("%a"), in a fixed order.
std::string job_digest(const job::Job &job);

}  // namespace fuzz
