// options.h - pelk-post's command line: a command and its options.
//
//   pelk-post [post] JOB       the NC program of a job (today's run)
//   pelk-post check JOB        the same, writing nothing
//   pelk-post verify JOB PROGRAM
//   pelk-post plot JOB [PROGRAM] -o FILE.svg
//   pelk-post stats JOB [PROGRAM] [--json]
//   pelk-post view JOB [PROGRAM] -o FILE.html
//   (plot, stats and view also take a PROGRAM alone, with --machine FILE)
//   pelk-post diff OLD NEW     two programs, or two folders of programs
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace cli {

enum class Command : unsigned char { post, check, verify, plot, stats, view, diff };

struct Options {
    Command command = Command::post;
    std::vector<std::string> jobs;  // post, check: as given; one job, or a batch of several
    std::string job_path;     // the one job: "-" is standard input; plot, stats, view: or a program alone
    std::string program_path; // verify: the program to check; plot, stats, view: one to read instead of posting the job
    std::string output;       // post: the program; plot: the SVG; view: the page (empty: the default)
    std::string module_path;  // empty: found (see module_path.h)
    std::string machine_dir;  // empty: the job's
    std::string machine_file; // empty: the one the job names, if any
    std::string trace_path;   // empty: no trace; "-": standard error
    bool strict = false;      // a warning fails the run
    bool quiet = false;       // warnings are not shown (the exit status still tells)
    bool check_only = false;  // the job is read and run, nothing is written
    std::string output_dir;   // empty: each program beside its job (or -o)
    unsigned parallel = 0;    // runs at once in a batch; 0: one per processor core

    // ---- What a post does besides.
    bool verify = true;       // the program is read back and held against the job before it is put in place
                              // (--no-verify: not)
    std::string map_path;     // post: the block map to write; verify, view: the program's block map to read
    std::string plot_path;    // post: the plot of the program written

    // ---- verify
    double allowance = 0.001; // mm, added to the program's rounding
    std::size_t messages = 10;// differences told in full

    // ---- stats
    bool json = false;

    // ---- diff (also: machine_file, allowance, messages, quiet, parallel)
    std::string old_path, new_path;        // two programs, or two folders of programs
    std::string old_machine, new_machine;  // one side's machine file, instead of --machine
    bool explain = false;                  // tell which forms of writing were matched
    bool any_order = false;                // each sheet grip's work compared as a set
};

// Reads the command line into options.  Answers -1 to go on, or the exit
// status to end with at once (0 after --help or --version, 2 for a wrong
// command line, with the reason shown on standard error).
int parse_command_line(int argc, char **argv, Options &options);

}  // namespace cli
