// run_files.h - the files a run reads and the files it writes, held apart:
// no output may be written over a file the run reads (the job, its machine
// file, LASER.PAR, the module) or over another output.  Files are the same
// when they are one file on the disk (device and inode): symbolic and hard
// links and every spelling of a path count.
#pragma once

#include <string>
#include <vector>

#include "job/job.h"

namespace cli {

struct RunFile {
    std::string what;    // "the output", "the machine file", ...
    std::string path;    // "" or "-": none (standard streams are never files here)
    std::string option;  // the option that names it, for outputs ("-o"); "" for inputs
};

// The files a run of the job reads: the job itself (unless it comes from a
// stream), the machine file it was completed from, LASER.PAR of its machine
// directory (whether it exists or not), and the module.
std::vector<RunFile> inputs_of(const std::string &job_path, const job::Job &job, const std::string &module_path);

// One line naming both files of the first output that is an input or an
// earlier output; "" when there is none.
std::string clash_of(const std::vector<RunFile> &inputs, const std::vector<RunFile> &outputs);

// True when a and b name the same file, also when one does not exist yet.
bool same_file(const std::string &a, const std::string &b);

}  // namespace cli
