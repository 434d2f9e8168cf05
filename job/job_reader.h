// job_reader.h - reads a job file (JSON) into a job::Job.
//
// The whole file is read and checked before anything else happens: a job
// that cannot be taken is refused with one line that names the place (line
// and column for a syntax error, the JSON path such as /work/3/hit/x for a
// value that is wrong), and nothing is written for it.
#pragma once

#include <stdexcept>
#include <string>

#include "job/job.h"
#include "job/json_scanner.h"

namespace job {

struct MachineFile;

// A job that cannot be taken.  what() is one line naming the place.
class JobError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Reads and checks the job file at path.  A relative machine directory is
// taken relative to the folder of the job file; left out, it is that
// folder.  Throws JobError, with the file name in front of the place.
// machine_file: as for read_job.
Job read_job_file(const std::string &path, const MachineFile *machine_file = nullptr);

// Reads and checks a job whose text comes from source, piece by piece.
// base_dir as for parse_job.  machine_file, when given (the command line
// named it), holds the machine, turret and technologies of which the job's
// own win key by key, in place of a machine file that the job names itself
// ("machine_file", taken from base_dir).  Throws JobError.
Job read_job(TextSource &source, const std::string &base_dir, const MachineFile *machine_file = nullptr);

// Reads and checks a job from its text.  base_dir is the folder a relative
// machine directory or machine file is taken from ("" for the current
// folder).  Throws JobError.
Job parse_job(const std::string &text, const std::string &base_dir, const MachineFile *machine_file = nullptr);

// The machine directory as the host hands it to the module: dir taken
// relative to base_dir unless absolute, without a trailing separator.
// Throws JobError when the result is longer than MAX_MACHINE_DIR_LENGTH.
std::string resolve_machine_dir(const std::string &dir, const std::string &base_dir);

}  // namespace job
