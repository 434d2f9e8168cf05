// work_check.h - the program read back and held against the clamps' zones
// and the sheet's outline: every post does it before the program is put in
// place, and the plot marks what it finds.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

#include "cli/readback.h"
#include "job/job.h"
#include "safety/layout.h"
#include "safety/warnings.h"

namespace cli {

// The sheet, the clamps with their zones and the turret's footprints of a
// job, as the checks see them.
safety::Layout safety_layout(const job::Job &job);

struct WorkCheck {
    long long findings = 0;              // strokes and cuts that strike a clamp's zone or lie off the sheet
    std::vector<std::string> warnings;   // told by step, the first ones in full
    std::vector<safety::Finding> worst;  // the deepest or farthest work of each warning told in full
};

// Reads the program from its start; step_name names the job's step of a line.
WorkCheck check_work(const job::Job &job, const ControlFor &control, std::FILE *program, const std::string &name,
                     const safety::Warnings::StepName &step_name);

// The program held against the job (as check_program) and against the clamps
// and the sheet (as check_work) in one reading of it: the events go to the
// clamps' check on their way to the comparison.
struct ProgramChecks {
    verify::ComparisonResult comparison;
    WorkCheck work;
};
ProgramChecks check_program_and_work(const job::Job &job, const ControlFor &control, std::FILE *program,
                                     const std::string &name, const verify::ComparisonOptions &options,
                                     const safety::Warnings::StepName &step_name);

}  // namespace cli
