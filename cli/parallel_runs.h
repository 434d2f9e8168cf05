// parallel_runs.h - runs of one task for many items, several at once where
// the platform has threads (parallel_runs_posix.cpp), one after the other
// where it has not (parallel_runs_windows.cpp).  For work that shares no
// state between its items, such as the pairs of programs of a diff of two
// folders.
#pragma once

#include <cstddef>
#include <functional>

namespace cli {

// Calls run(i) for every i below count, at most at_once at a time; returns
// when all have returned.  run must not throw.
void run_in_parallel(std::size_t count, unsigned at_once, const std::function<void(std::size_t)> &run);

}  // namespace cli
