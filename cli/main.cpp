// main.cpp - pelk-post: turns a job file into the NC program of the machine,
// running the pelk1 post-processor module inside the stand-in host; reads
// programs back to check, draw and count them.
#include <exception>

#include "cli/commands.h"
#include "cli/interrupts.h"
#include "cli/message_text.h"
#include "cli/options.h"
#include "cli/output_file.h"

int main(int argc, char **argv) {
    cli::reserve_closed_standard_streams();
    cli::install_interrupt_cleanup();
    cli::Options options;
    const int parsed = cli::parse_command_line(argc, argv, options);
    if (parsed >= 0) return parsed;
    try {
        switch (options.command) {
        case cli::Command::post:
        case cli::Command::check: return cli::run_post(options);
        case cli::Command::verify: return cli::run_verify(options);
        case cli::Command::plot: return cli::run_plot(options);
        case cli::Command::stats: return cli::run_stats(options);
        }
        return cli::fail("no command");
    } catch (const std::exception &e) {
        return cli::fail(e.what());
    }
}
