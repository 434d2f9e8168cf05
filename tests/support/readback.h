// readback.h - programs read back in the tests: posted in the test's own
// host, read by the control model, held against their jobs.
#pragma once

#include <string>
#include <vector>

#include "job/job.h"
#include "nc/event.h"
#include "nc/setup.h"
#include "verify/comparison.h"

// The job's program, posted in this process with the loaded module (the
// host's state is reset first).  Fails the test when the program is not
// written whole.
std::string posted_program(const job::Job &job);

// The program held against the job, as `pelk-post verify` does.  Throws
// nc::ProgramError for a program the control cannot run.
verify::ComparisonResult check_program(const job::Job &job, const std::string &program);

// The events of a program (millimetres, no LASER.PAR lines known).
std::vector<nc::Event> program_events(const std::string &program, const nc::Setup &setup = nc::Setup{});

// The events in words, one per line: "stroke at X100 Y100 T1 C0".
std::string events_text(const std::vector<nc::Event> &events);

// The folder of the sources, for the golden cases and the samples.
std::string source_path(const std::string &relative);
