// batch.h - many jobs in one call: each job posted by a run of pelk-post of
// its own, several at once, with one line for each job that failed or
// warned and a summary at the end.
#pragma once

#include <string>
#include <vector>

namespace cli {

struct Batch {
    std::vector<std::string> jobs;           // job files, two or more
    std::string output_dir;                  // where the programs go; empty: beside each job
    unsigned parallel = 1;                   // runs at once, at least 1
    std::vector<std::string> run_options;    // options every run gets (--module, --strict, ...)
    std::string machine_file;                // the --machine file of every run, if any (to tell refusals)
    bool check_only = false;                 // --check: nothing is written
    bool quiet = false;                      // warnings are not shown, only counted
};

// Posts every job of the batch and answers the worst exit status of its
// runs: 1 when any job was refused or its program not written, else 3 when
// any warned, else 0.  Nothing runs when the jobs' programs would overwrite
// each other or a job of the batch (answers 2, with the reason).
int run_batch(const Batch &batch);

}  // namespace cli
