// The module's own speed: hooks called straight through the host's table,
// the NC text kept in memory, against a bare snprintf loop that writes the
// same text (the reference line).
//
// PELK_BENCH_MODULE names another module to load instead of the one built
// beside this benchmark (to measure an earlier build in the same run).
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "bench/module_workload.h"

namespace {

void load_once() {
    static bool loaded = false;
    if (loaded) return;
    const char *chosen = std::getenv("PELK_BENCH_MODULE");
    const std::string path = chosen != nullptr && *chosen != '\0' ? chosen : PELK_MODULE_PATH;
    std::string error;
    if (!workload::load_module(path, error)) {
        std::fprintf(stderr, "%s\n", error.c_str());
        std::exit(1);
    }
    loaded = true;
}

// ---- (a) the module's round trip ---------------------------------------------

void BM_ModuleHits(benchmark::State &state) {
    load_once();
    const long count = static_cast<long>(state.range(0));
    std::size_t bytes = 0;
    for (auto _ : state) {
        state.PauseTiming();
        workload::StringWriter writer;
        writer.text().reserve(static_cast<std::size_t>(count) * 24);
        workload::start_hits(writer);
        state.ResumeTiming();
        if (!workload::write_hits_with_module(count)) state.SkipWithError("a hit answered stop");
        bytes = writer.text().size();
    }
    state.SetItemsProcessed(state.iterations() * count);
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * bytes));
}

void BM_ModuleLaserElements(benchmark::State &state) {
    load_once();
    const long count = static_cast<long>(state.range(0));
    for (auto _ : state) {
        state.PauseTiming();
        workload::StringWriter writer;
        writer.text().reserve(static_cast<std::size_t>(count) * 32);
        workload::start_laser(PELK_EXAMPLES_DIR "/machine", writer);
        state.ResumeTiming();
        if (!workload::write_laser_contour(count)) state.SkipWithError("an element answered stop");
    }
    state.SetItemsProcessed(state.iterations() * count);
}

void BM_ModuleNibbling(benchmark::State &state) {
    load_once();
    const long count = static_cast<long>(state.range(0));
    for (auto _ : state) {
        state.PauseTiming();
        workload::StringWriter writer;
        writer.text().reserve(static_cast<std::size_t>(count) * 64);
        workload::start_hits(writer);
        state.ResumeTiming();
        if (!workload::write_nibbling_with_module(count)) state.SkipWithError("an operation answered stop");
    }
    state.SetItemsProcessed(state.iterations() * count);
}

void BM_ModulePatternCalls(benchmark::State &state) {
    load_once();
    const long count = static_cast<long>(state.range(0));
    for (auto _ : state) {
        state.PauseTiming();
        workload::StringWriter writer;
        writer.text().reserve(static_cast<std::size_t>(count) * 64);
        workload::start_hits(writer);
        state.ResumeTiming();
        if (!workload::write_pattern_calls_with_module(count)) state.SkipWithError("a call answered stop");
    }
    state.SetItemsProcessed(state.iterations() * count);
}

// ---- (b) the reference line: a bare snprintf loop ------------------------------

void BM_SnprintfHits(benchmark::State &state) {
    const long count = static_cast<long>(state.range(0));
    for (auto _ : state) {
        state.PauseTiming();
        std::string out;
        out.reserve(static_cast<std::size_t>(count) * 24);
        state.ResumeTiming();
        workload::write_hits_with_snprintf(count, out);
        benchmark::DoNotOptimize(out.data());
    }
    state.SetItemsProcessed(state.iterations() * count);
}

BENCHMARK(BM_ModuleHits)->Arg(1000000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SnprintfHits)->Arg(1000000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ModuleLaserElements)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ModuleNibbling)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ModulePatternCalls)->Arg(100000)->Unit(benchmark::kMillisecond);

}  // namespace
