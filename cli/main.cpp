// main.cpp - pelk-post: turns job files into the NC programs of the machine,
// running the pelk1 post-processor module inside the stand-in host; reads
// programs back to check, draw and count them.
#include <exception>
#include <filesystem>

#include "cli/batch.h"
#include "cli/child_process.h"
#include "cli/commands.h"
#include "cli/interrupts.h"
#include "cli/message_text.h"
#include "cli/module_path.h"
#include "cli/options.h"
#include "cli/output_file.h"

namespace {

// Several jobs: each posted by a run of this tool of its own.  The runs get
// the options that hold for every job, the module found once.
int run_many(const cli::Options &o) {
    cli::Batch batch;
    batch.jobs = o.jobs;
    batch.output_dir = o.output_dir;
    batch.parallel = o.parallel != 0 ? o.parallel : cli::processor_count();
    batch.check_only = o.check_only;
    batch.quiet = o.quiet;
    batch.run_options = {"--module", std::filesystem::absolute(cli::find_module(o.module_path)).string()};
    if (!o.machine_dir.empty()) batch.run_options.insert(batch.run_options.end(), {"--machine-dir", o.machine_dir});
    if (!o.machine_file.empty()) batch.run_options.insert(batch.run_options.end(), {"--machine", o.machine_file});
    batch.machine_file = o.machine_file;
    if (o.strict) batch.run_options.push_back("--strict");
    if (o.check_only) batch.run_options.push_back("--check");
    if (!o.verify) batch.run_options.push_back("--no-verify");
    return cli::run_batch(batch);
}

}  // namespace

int main(int argc, char **argv) {
    cli::reserve_closed_standard_streams();
    cli::install_interrupt_cleanup();
    cli::Options options;
    const int parsed = cli::parse_command_line(argc, argv, options);
    if (parsed >= 0) return parsed;
    try {
        switch (options.command) {
        case cli::Command::post:
        case cli::Command::check: return options.jobs.size() > 1 ? run_many(options) : cli::run_post(options);
        case cli::Command::verify: return cli::run_verify(options);
        case cli::Command::plot: return cli::run_plot(options);
        case cli::Command::stats: return cli::run_stats(options);
        case cli::Command::view: return cli::run_view(options);
        case cli::Command::diff: return cli::run_diff(options);
        }
        return cli::fail("no command");
    } catch (const std::exception &e) {
        return cli::fail(e.what());
    }
}
