// options.cpp - pelk-post's options, help text and version.
#include "cli/options.h"

#include <cstdio>

#include <CLI/CLI.hpp>

#include "cli/exit_status.h"
#include "cli/message_text.h"

#ifndef PELK_VERSION
#define PELK_VERSION "unknown"
#endif

namespace cli {
namespace {

constexpr const char *DESCRIPTION =
    "pelk-post - writes the NC program of a turret punch press with a laser head\n"
    "from a job file (JSON: machine, sheet, turret, laser technologies and the\n"
    "work in order), using the pelk1 post-processor module.\n"
    "\n"
    "The job is read and checked completely first; a job that cannot be taken\n"
    "writes nothing.  The NC program is written aside and put in place only when\n"
    "it is complete, so a failed run leaves an existing output file untouched.\n"
    "Warnings of the module (for instance a missing LASER.PAR) go to standard\n"
    "error, each text once.";

constexpr const char *FOOTER =
    "Examples:\n"
    "  pelk-post examples/punching.json              writes examples/punching.nc\n"
    "  pelk-post -o - examples/laser.json            writes to standard output\n"
    "  pelk-post - < job.json > job.nc               job from standard input\n"
    "  pelk-post --machine-dir /etc/pelk job.json    LASER.PAR from /etc/pelk\n"
    "  pelk-post --machine shop.json job.json        machine and turret from shop.json\n"
    "  pelk-post --check --strict job.json           checks, writes nothing\n"
    "  pelk-post -j 2 --output-dir nc jobs/*.json    posts every job, two at once\n"
    "\n"
    "The module is the one named with --module, else by the environment variable\n"
    "PELK_MODULE, else pelk1.so beside pelk-post, else ../lib/pelk/pelk1.so from\n"
    "pelk-post's folder (where cmake --install puts it).\n"
    "\n"
    "Exit status:\n"
    "  0  the whole NC program was written (or checked) without warnings\n"
    "  1  the job was refused, or the program could not be written (nothing was\n"
    "     written); also any warning under --strict\n"
    "  2  wrong command line\n"
    "  3  the whole NC program was written (or checked), but with warnings\n"
    "The job file format is described in docs/job-format.md.";

// Empty names would quietly mean something else (the default output, the
// current folder); they are refused instead.
const CLI::Validator NOT_EMPTY(
    [](const std::string &value) { return value.empty() ? std::string("an empty name") : std::string(); }, "", "");

}  // namespace

int parse_command_line(int argc, char **argv, Options &o) {
    CLI::App app{DESCRIPTION, "pelk-post"};
    app.footer(FOOTER);
    app.set_version_flag("--version", std::string("pelk-post ") + PELK_VERSION);
    CLI::Option *jobs = app.add_option("JOB", o.jobs,
                   "The job file (JSON); \"-\" reads it from standard input.  Several jobs are posted "
                   "each by a run of its own, several at once (see -j)")
        ->required();
    CLI::Option *output = app.add_option(
        "-o,--output", o.output,
        "Where the NC program goes; \"-\" for standard output (default: the job file with \".nc\"; "
        "standard output for a job from standard input).  One job only");
    output->check(NOT_EMPTY);
    app.add_option("--output-dir", o.output_dir,
                   "Write each program into this folder, named after its job, instead of beside the job")
        ->check(NOT_EMPTY)
        ->excludes(output);
    app.add_option("-j,--parallel", o.parallel, "Post this many jobs at once (default: one per processor core)")
        ->check(CLI::Range(1u, 1024u));
    app.add_option("--module", o.module_path, "The post-processor module (default: see below)")->check(NOT_EMPTY);
    app.add_option("--machine-dir", o.machine_dir, "Machine directory holding LASER.PAR (instead of the job's)")
        ->check(NOT_EMPTY);
    app.add_option("--machine", o.machine_file,
                   "Machine file (JSON: machine, turret, laser_technologies) of which the job's own keys win, "
                   "instead of the job's machine_file")
        ->check(NOT_EMPTY);
    app.add_flag("--strict,--stop-on-warnings", o.strict,
                 "Any warning fails the run: the module stops, nothing is written, exit status 1");
    app.add_flag("-q,--quiet", o.quiet, "Do not show warnings (the exit status 3 still tells of them)");
    app.add_flag("--check", o.check_only,
                 "Read and check the job and run the module, but write no NC program")
        ->excludes(output);
    app.add_option("--trace", o.trace_path,
                   "Write every hook call and host service to this file; \"-\" for standard error")
        ->check(NOT_EMPTY);

    // A later option wins over an earlier one, as with most tools.
    for (CLI::Option *option : app.get_options()) {
        if (option != jobs) option->multi_option_policy(CLI::MultiOptionPolicy::TakeLast);
    }
    try {
        app.parse(argc, argv);
        // Options that name one file cannot serve several jobs.
        if (o.jobs.size() > 1 && !o.output.empty()) {
            throw CLI::ValidationError("-o names the program of one job; with several jobs use --output-dir");
        }
        if (o.jobs.size() > 1 && !o.trace_path.empty()) {
            throw CLI::ValidationError("--trace follows one job; name one job with it");
        }
    } catch (const CLI::ParseError &e) {
        if (e.get_exit_code() == 0) return app.exit(e);  // --help, --version
        std::fprintf(stderr, "pelk-post: error: %s (see pelk-post --help)\n", printable(e.what()).c_str());
        return bad_command_line;
    }
    o.job_path = o.jobs.front();
    return -1;
}

}  // namespace cli
