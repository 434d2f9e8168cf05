// Speed of whole NC programs through the loaded module: punching jobs with
// many hits and tool changes, and laser contours with many elements.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "host/host.h"

namespace {

// Counts the bytes written and keeps nothing.
class CountingWriter : public host::NcWriter {
public:
    bool write(const char *, std::size_t length) override {
        bytes += length;
        return true;
    }
    std::size_t bytes = 0;
};

void load_module_once() {
    static bool loaded = false;
    if (loaded) return;
    std::string error;
    if (!host::load_module(PELK_MODULE_PATH, error)) {
        std::fprintf(stderr, "%s\n", error.c_str());
        std::exit(1);
    }
    host::set_message_stream(nullptr);
    loaded = true;
}

job::Job punching_job(int hits) {
    job::Job job;
    job.machine.post_processor = 7001;
    job.sheet.material = "ST37 (3)";
    job.turret = {{11, 1, "R1", true, false}, {12, 2, "F", false, false}, {13, 3, "", true, false}};
    for (int i = 0; i < hits; ++i) {
        const int tool = 11 + (i / 10) % 3;  // a tool change every ten hits
        job.work.push_back(job::Hit{10.0 + i % 200 * 12.5, 10.0 + i / 200 * 12.5, (i % 4) * 45.0, tool, false});
    }
    return job;
}

job::Job laser_job(int elements) {
    job::Job job;
    job.machine.machine_dir = PELK_EXAMPLES_DIR "/machine";
    job.sheet.material = "ST37 (3)";
    job.technologies = {{1, 25.0, "1", "2", "450"}};
    std::vector<job::LaserElement> contour;
    const double radius = 400.0;
    for (int i = 0; i < elements; ++i) {
        const double a0 = 2 * M_PI * i / elements, a1 = 2 * M_PI * (i + 1) / elements;
        job::LaserElement element;
        element.x1 = 1000 + radius * std::cos(a0);
        element.y1 = 600 + radius * std::sin(a0);
        element.x2 = 1000 + radius * std::cos(a1);
        element.y2 = 600 + radius * std::sin(a1);
        element.compensation = job::Compensation::left;
        element.technology = 1;
        element.off_type = i + 1 == elements ? 2 : 0;
        contour.push_back(element);
    }
    job.add_laser_contour(contour);
    return job;
}

void run(benchmark::State &state, const job::Job &job) {
    load_module_once();
    std::size_t bytes = 0;
    for (auto _ : state) {
        CountingWriter writer;
        if (host::run_program(job, writer) != 0) state.SkipWithError("the program stopped");
        bytes = writer.bytes;
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * bytes));
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

void BM_PunchingProgram(benchmark::State &state) { run(state, punching_job(static_cast<int>(state.range(0)))); }
void BM_LaserContour(benchmark::State &state) { run(state, laser_job(static_cast<int>(state.range(0)))); }

BENCHMARK(BM_PunchingProgram)->Arg(1000)->Arg(10000);
BENCHMARK(BM_LaserContour)->Arg(1000)->Arg(10000);

}  // namespace

BENCHMARK_MAIN();
