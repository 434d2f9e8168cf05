// pipeline_run.h - one job through the host and the loaded module into NC
// text in memory, as pelk-post runs it, for the fuzz targets.
//
// The module keeps its state in module variables for the whole process: each
// run starts from a fresh host state, and the module's program start puts
// its own state back, so that runs one after the other stay independent.
#pragma once

#include <string>
#include <vector>

#include "job/job.h"

namespace fuzz {

struct PipelineRun {
    int result = 0;                   // run_program's: 0 written, 1 stopped
    std::vector<std::string> pieces;  // what each accepted flush handed on
    int flushes = 0;                  // flushes seen, refused ones included
    long messages = 0;                // warnings of the run
    std::vector<std::string> warnings;  // their texts, each once
};

// Loads the module built beside the fuzz targets once; aborts when it cannot.
void load_module_once();

// Runs job; with trace, the host's call trace is on (and thrown away); with
// refuse_from > 0 the writer refuses that flush and every later one.
PipelineRun run_pipeline(const job::Job &job, bool trace, int refuse_from = 0);

// The checks that hold for every job: the same program with and without the
// trace, and a writer that refuses from the n-th flush on gets exactly the
// first n - 1 pieces and stops the run.  Aborts with a note when one fails.
// n is taken from pick (any number; brought into the run's flushes).
void check_pipeline(const job::Job &job, unsigned pick);

// A program's lines, each with its line end as written.
std::vector<std::string> lines_of(const std::string &text);

}  // namespace fuzz
