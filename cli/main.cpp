// main.cpp - pelk-post: turns a job file into the NC program of the machine,
// running the pelk1 post-processor module inside the stand-in host.
#include <cstdio>
#include <cstring>
#include <exception>
#include <filesystem>
#include <fstream>
#include <string>

#include <CLI/CLI.hpp>

#include "cli/file_writer.h"
#include "cli/output_file.h"
#include "host/host.h"
#include "job/job_reader.h"

namespace {

constexpr const char *DESCRIPTION =
    "pelk-post - writes the NC program of a turret punch press with a laser head\n"
    "from a job file (JSON: machine, sheet, turret, laser technologies and the\n"
    "work in order), using the pelk1 post-processor module.\n"
    "\n"
    "The job is read and checked completely first; a job that cannot be taken\n"
    "writes nothing.  The NC program is written aside and put in place only when\n"
    "it is complete, so a failed run leaves an existing output file untouched.\n"
    "Host messages (warnings, errors of the module) go to standard error.";

constexpr const char *FOOTER =
    "Examples:\n"
    "  pelk-post examples/punching.json              writes examples/punching.nc\n"
    "  pelk-post -o - examples/laser.json            writes to standard output\n"
    "  pelk-post --machine-dir /etc/pelk job.json    LASER.PAR from /etc/pelk\n"
    "\n"
    "Exit status: 0 when the whole NC program was written, 1 when the job was\n"
    "refused or the program could not be written, 2 for a wrong command line.\n"
    "The job file format is described in docs/job-format.md.";

int fail(const std::string &reason) {
    std::fprintf(stderr, "pelk-post: error: %s\n", reason.c_str());
    return 1;
}

// The default output: the job file's path with the extension ".nc".
std::string default_output(const std::string &job_path) {
    std::filesystem::path p(job_path);
    p.replace_extension(".nc");
    return p.string();
}

bool same_file(const std::string &a, const std::string &b) {
    std::error_code ec;
    return std::filesystem::exists(b, ec) && std::filesystem::equivalent(a, b, ec) && !ec;
}

struct Options {
    std::string job_path;
    std::string output;
    std::string module_path;
    std::string machine_dir;
    std::string trace_path;
    bool stop_on_warnings = false;
};

int run(const Options &o) {
    // 1. The job, read and checked completely before anything is written.
    job::Job job;
    try {
        job = job::read_job_file(o.job_path);
        if (!o.machine_dir.empty()) job.machine.machine_dir = job::resolve_machine_dir(o.machine_dir, "");
    } catch (const job::JobError &e) {
        return fail(e.what());
    }

    std::string output = o.output.empty() ? default_output(o.job_path) : o.output;
    if (output != "-" && same_file(o.job_path, output)) {
        return fail("the output " + output + " is the job file itself; name another with -o");
    }

    // 2. The module.
    std::string error;
    if (!host::load_module(o.module_path, error)) return fail(error);

    // 3. Trace and messages.
    std::ofstream trace;
    if (!o.trace_path.empty()) {
        trace.open(o.trace_path, std::ios::out | std::ios::trunc);
        if (!trace) return fail("cannot write the trace file " + o.trace_path + ": " + std::strerror(errno));
        host::set_trace(&trace);
    }
    host::set_stop_on_warnings(o.stop_on_warnings);

    // 4. The NC program.
    cli::OutputFile out;
    if (!out.open(output, error)) return fail(error);
    cli::FileWriter writer(out.stream());
    int result = host::run_program(job, writer);
    host::set_trace(nullptr);
    host::set_writer(nullptr);

    if (writer.error_number() != 0) {
        out.discard();
        return fail("cannot write " + out.name() + ": " + std::strerror(writer.error_number()));
    }
    if (result != 0) {
        out.discard();
        return fail("the NC program was stopped before its end; " + out.name() + " was not written");
    }
    if (!out.commit(error)) return fail(error);
    if (trace.is_open()) {
        trace.flush();
        if (!trace) return fail("cannot write the trace file " + o.trace_path);
    }
    return 0;
}

}  // namespace

int main(int argc, char **argv) {
    Options o;
    CLI::App app{DESCRIPTION, "pelk-post"};
    app.footer(FOOTER);
    app.add_option("JOB", o.job_path, "The job file (JSON)")->required();
    app.add_option("-o,--output", o.output,
                   "Where the NC program goes; \"-\" for standard output (default: the job file with \".nc\")");
    o.module_path = host::default_module_path();
    app.add_option("--module", o.module_path, "The post-processor module")->capture_default_str();
    app.add_option("--machine-dir", o.machine_dir, "Machine directory holding LASER.PAR (instead of the job's)");
    app.add_flag("--stop-on-warnings", o.stop_on_warnings, "Stop the NC program at the first warning of the module");
    app.add_option("--trace", o.trace_path, "Write every hook call and host service to this file");

    // A later option wins over an earlier one, as with most tools.
    for (CLI::Option *option : app.get_options()) option->multi_option_policy(CLI::MultiOptionPolicy::TakeLast);
    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError &e) {
        if (e.get_exit_code() == 0) return app.exit(e);  // --help
        std::fprintf(stderr, "pelk-post: error: %s (see pelk-post --help)\n", e.what());
        return 2;
    }
    try {
        return run(o);
    } catch (const std::exception &e) {
        return fail(e.what());
    }
}
