// main.cpp - pelk-post: turns a job file into the NC program of the machine,
// running the pelk1 post-processor module inside the stand-in host.
#include <exception>

#include "cli/interrupts.h"
#include "cli/message_text.h"
#include "cli/options.h"
#include "cli/run_post.h"

int main(int argc, char **argv) {
    cli::reserve_closed_standard_streams();
    cli::install_interrupt_cleanup();
    cli::Options options;
    const int parsed = cli::parse_command_line(argc, argv, options);
    if (parsed >= 0) return parsed;
    try {
        return cli::run_post(options);
    } catch (const std::exception &e) {
        return cli::fail(e.what());
    }
}
