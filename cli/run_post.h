// run_post.h - one run of pelk-post on its options.
#pragma once

#include <functional>

#include "cli/options.h"
#include "host/host.h"

namespace cli {

// A writer put in front of the tool's own, handed every flushed piece first;
// it answers the writer the host is to use.  The tests put one there that
// refuses from a given flush on, to walk every failure path of a run through
// the same code as the tool.
using WriterInFront = std::function<host::NcWriter &(host::NcWriter &own)>;

// Runs pelk-post: reads the job, runs the module and puts the program (and
// the trace) in place.  Shows a failure as one line on standard error and
// answers the exit status (cli/exit_status.h).
int run_post(const Options &options, const WriterInFront &in_front = {});

}  // namespace cli
