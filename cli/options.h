// options.h - pelk-post's command line.
#pragma once

#include <string>
#include <vector>

namespace cli {

struct Options {
    std::vector<std::string> jobs;  // as given; one job, or a batch of several
    std::string job_path;     // the one job: "-" is standard input
    std::string output;       // empty: the default (beside the job, or standard output)
    std::string module_path;  // empty: found (see module_path.h)
    std::string machine_dir;  // empty: the job's
    std::string machine_file; // empty: the one the job names, if any
    std::string trace_path;   // empty: no trace; "-": standard error
    bool strict = false;      // a warning fails the run
    bool quiet = false;       // warnings are not shown (the exit status still tells)
    bool check_only = false;  // the job is read and run, nothing is written
    std::string output_dir;   // empty: each program beside its job (or -o)
    unsigned parallel = 0;    // runs at once in a batch; 0: one per processor core
};

// Reads the command line into options.  Answers -1 to go on, or the exit
// status to end with at once (0 after --help or --version, 2 for a wrong
// command line, with the reason shown on standard error).
int parse_command_line(int argc, char **argv, Options &options);

}  // namespace cli
