// parallel_runs_posix.cpp - the items taken in turn by a few threads.
#include <algorithm>
#include <atomic>
#include <thread>
#include <vector>

#include "cli/parallel_runs.h"

namespace cli {

void run_in_parallel(std::size_t count, unsigned at_once, const std::function<void(std::size_t)> &run) {
    std::atomic<std::size_t> next{0};
    const auto work = [&] {
        for (std::size_t i = next++; i < count; i = next++) run(i);
    };
    const std::size_t threads = std::min<std::size_t>(std::max(1u, at_once), count);
    std::vector<std::thread> running;
    for (std::size_t t = 1; t < threads; ++t) running.emplace_back(work);
    work();
    for (std::thread &t : running) t.join();
}

}  // namespace cli
