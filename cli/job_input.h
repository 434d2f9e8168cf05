// job_input.h - the job named on the command line: a file, or standard input
// for "-".
#pragma once

#include <string>

#include "job/job.h"
#include "job/machine_file.h"

namespace cli {

// True for a job that does not come from a regular file: "-" (standard
// input), /dev/stdin, a FIFO, a process substitution.  Such a job has no
// folder of its own: its program goes to standard output unless -o names
// another place, and a relative machine directory is taken from the current
// folder.
bool job_is_a_stream(const std::string &path);

// The program of a job file: the job's path with the extension ".nc", or
// its name with ".nc" in output_dir when that is not empty.
std::string program_of(const std::string &job_path, const std::string &output_dir);

// Makes the output folder (and the folders above it) when it is missing.
// False with the reason in error when it cannot be made or is no folder.
bool make_output_dir(const std::string &output_dir, std::string &error);

// Reads and checks the whole job, piece by piece as it comes.  machine_file:
// the one the command line names, or nullptr.  Throws job::JobError with the
// job's name ("standard input" for "-") in front of the place.
job::Job read_job(const std::string &path, const job::MachineFile *machine_file = nullptr);

}  // namespace cli
