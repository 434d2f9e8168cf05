// parallel_runs_windows.cpp - the Windows build's threads model has no
// standard threads: the items one after the other.
#include "cli/parallel_runs.h"

namespace cli {

void run_in_parallel(std::size_t count, unsigned, const std::function<void(std::size_t)> &run) {
    for (std::size_t i = 0; i < count; ++i) run(i);
}

}  // namespace cli
