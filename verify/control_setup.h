// control_setup.h - the control as it stands when a job's program starts:
// the machine's units and load position, the LASER.PAR lines and the job's
// own NC texts that stand in the program as they are, and the patterns it
// holds already.
#pragma once

#include "job/job.h"
#include "nc/setup.h"
#include "verify/laser_par_section.h"

namespace verify {

// Under a pattern style other than 0 the program holds no definitions: the
// control runs the ones it holds, taken here from the job's patterns (so a
// check of such a program can see where each copy lands and which pattern is
// called, not what a definition the program does not hold would do).
nc::Setup control_setup(const job::Job &job, const LaserParSection &section);

// The LASER.PAR section of the job's sheet, read when the job cuts with the
// laser (empty otherwise).
LaserParSection laser_par_section_of(const job::Job &job);

}  // namespace verify
