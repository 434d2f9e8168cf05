// pelk-post from job file to NC program: the job read and checked, the
// program written to a file, for punching jobs of growing size.  Each run is
// a child process, so that its time and peak memory are its own.
// PELK_BENCH_POST names another build of pelk-post to run instead of the one
// built beside the benchmark, to compare two builds in one run.
#include <benchmark/benchmark.h>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <iterator>
#include <string>

namespace {

template <typename Write>
std::string generated_job(const std::string &name, Write write);

// A punching job of n hits over three tools, a tool change every ten hits,
// the indexable tools turned in steps of 45 degrees (index words).
std::string write_punching_job(int hits) {
    const std::string path =
        (std::filesystem::temp_directory_path() / ("pelk_bench_" + std::to_string(hits) + "_hits.json")).string();
    if (std::filesystem::exists(path)) return path;
    std::ofstream out(path + ".part");
    out << R"j({"machine": {"post_processor": 7001}, "sheet": {"material": "ST37 (3)", "nest_name": "BENCH"},
 "turret": [{"tool": 11, "station": 1, "options": "R1", "indexable": true},
            {"tool": 12, "station": 2, "options": "F"},
            {"tool": 13, "station": 3, "indexable": true}],
 "work": [
)j";
    char line[160];
    for (int i = 0; i < hits; ++i) {
        const int tool = 11 + (i / 10) % 3;
        const double angle = tool == 12 ? 0.0 : (i % 4) * 45.0;
        std::snprintf(line, sizeof line, "%s{\"hit\": {\"x\": %.2f, \"y\": %.2f, \"tool\": %d, \"angle\": %g}}",
                      i == 0 ? "" : ",\n", 10.0 + i % 200 * 12.5, 10.0 + (i / 200) % 100 * 12.5, tool, angle);
        out << line;
    }
    out << "]}\n";
    out.close();
    std::filesystem::rename(path + ".part", path);
    return path;
}

// What a run of pelk-post took.
struct ChildUsage {
    long peak_bytes = 0;    // peak resident memory
    double cpu_seconds = 0; // user and system time
};

double seconds(const timeval &t) { return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_usec) / 1e6; }

// The arguments of one run of pelk-post: "-o OUTPUT JOB", "verify JOB
// PROGRAM", "stats JOB PROGRAM".
constexpr int MAX_ARGUMENTS = 4;
constexpr std::size_t MAX_ARGUMENT = 1024;
struct Arguments {
    char text[MAX_ARGUMENTS][MAX_ARGUMENT];
    int count;
};

Arguments arguments(std::initializer_list<std::string> list) {
    Arguments a{};
    for (const std::string &s : list) {
        if (a.count == MAX_ARGUMENTS || s.size() >= MAX_ARGUMENT) return Arguments{};
        s.copy(a.text[a.count++], s.size());
    }
    return a;
}

// Runs pelk-post with the arguments, its standard output and error thrown
// away, as a child of the calling process; answers its exit status.
int run_child(const Arguments &args, ChildUsage &used) {
    const pid_t child = fork();
    if (child == 0) {
        std::freopen("/dev/null", "w", stdout);
        std::freopen("/dev/null", "w", stderr);
        const char *chosen = std::getenv("PELK_BENCH_POST");
        const char *tool = chosen != nullptr && *chosen != '\0' ? chosen : PELK_POST_PATH;
        const char *argv[MAX_ARGUMENTS + 2] = {tool};
        for (int i = 0; i < args.count; ++i) argv[i + 1] = args.text[i];
        execv(tool, const_cast<char *const *>(argv));
        _exit(127);
    }
    int status = 0;
    rusage usage{};
    if (child < 0 || wait4(child, &status, 0, &usage) != child) return -1;
    used.peak_bytes = usage.ru_maxrss * 1024L;  // kilobytes on Linux
    used.cpu_seconds = seconds(usage.ru_utime) + seconds(usage.ru_stime);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// The runs are started by a small process forked before any benchmark runs.
// A child's peak resident memory counts the pages of the process it was
// forked from, exec or not: forked from the benchmark, which holds the
// module benchmarks' texts by then, a small job would show the benchmark's
// memory instead of its own.
class Spawner {
public:
    using Request = Arguments;
    struct Answer {
        int status;
        ChildUsage used;
    };

    Spawner() {
        int to_spawner[2], from_spawner[2];
        if (pipe(to_spawner) != 0 || pipe(from_spawner) != 0) return;
        const pid_t spawner = fork();
        if (spawner == 0) {
            close(to_spawner[1]);
            close(from_spawner[0]);
            Request request{};
            while (read(to_spawner[0], &request, sizeof request) == static_cast<ssize_t>(sizeof request)) {
                Answer answer{};
                answer.status = run_child(request, answer.used);
                if (write(from_spawner[1], &answer, sizeof answer) != static_cast<ssize_t>(sizeof answer)) break;
            }
            _exit(0);  // the benchmark has ended: its end of the pipe is closed
        }
        close(to_spawner[0]);
        close(from_spawner[1]);
        if (spawner > 0) {
            requests_ = to_spawner[1];
            answers_ = from_spawner[0];
        }
    }

    // Runs pelk-post through the spawner; -1 when that cannot be done.
    int run(const Arguments &request, ChildUsage &used) const {
        Answer answer{};
        if (requests_ < 0 || request.count == 0) return -1;
        if (write(requests_, &request, sizeof request) != static_cast<ssize_t>(sizeof request) ||
            read(answers_, &answer, sizeof answer) != static_cast<ssize_t>(sizeof answer)) {
            return -1;
        }
        used = answer.used;
        return answer.status;
    }

private:
    int requests_ = -1;
    int answers_ = -1;
};

// Made while the benchmark process is still small, before main.
const Spawner spawner;

// Times runs of pelk-post with the arguments on a job, with the counters of
// the child's CPU time and peak memory; items: what the job holds N of.
void time_runs(benchmark::State &state, const std::string &job, const Arguments &args, long items) {
    long peak = 0;
    double cpu = 0;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        ChildUsage used;
        if (spawner.run(args, used) != 0) {
            state.SkipWithError("pelk-post failed");
            break;
        }
        state.SetIterationTime(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
        peak = std::max(peak, used.peak_bytes);
        cpu += used.cpu_seconds;
    }
    const double job_bytes = static_cast<double>(std::filesystem::file_size(job));
    state.counters["job_MB"] = job_bytes / 1e6;
    state.counters["peak_MB"] = static_cast<double>(peak) / 1e6;
    state.counters["peak/job"] = static_cast<double>(peak) / job_bytes;
    state.counters["child_cpu_ms"] = state.iterations() > 0 ? cpu * 1e3 / static_cast<double>(state.iterations()) : 0.0;
    state.SetItemsProcessed(state.iterations() * items);
}

// Posts job as the benchmark's iterations.
void run_end_to_end(benchmark::State &state, const std::string &job, long items) {
    const std::string output = job + ".nc";
    time_runs(state, job, arguments({"-o", output, job}), items);
    std::filesystem::remove(output);
}

void BM_PelkPostEndToEnd(benchmark::State &state) {
    const int hits = static_cast<int>(state.range(0));
    run_end_to_end(state, write_punching_job(hits), hits);
}

// The job's program written once, outside the timing, to be read back.
std::string posted_program(const std::string &job) {
    const std::string program = job + ".program.nc";
    ChildUsage used;
    if (!std::filesystem::exists(program) && spawner.run(arguments({"-o", program, job}), used) != 0) return "";
    return program;
}

// pelk-post verify JOB PROGRAM: the program read back and held against the
// job expanded, against BM_PelkPostEndToEnd of the same size.
void BM_PelkPostVerify(benchmark::State &state) {
    const std::string job = write_punching_job(static_cast<int>(state.range(0)));
    const std::string program = posted_program(job);
    if (program.empty()) {
        state.SkipWithError("pelk-post could not write the program");
        return;
    }
    time_runs(state, job, arguments({"verify", job, program}), state.range(0));
}

// pelk-post stats JOB PROGRAM: the program read back and counted.
void BM_PelkPostStats(benchmark::State &state) {
    const std::string job = write_punching_job(static_cast<int>(state.range(0)));
    const std::string program = posted_program(job);
    if (program.empty()) {
        state.SkipWithError("pelk-post could not write the program");
        return;
    }
    time_runs(state, job, arguments({"stats", job, program}), state.range(0));
}

// pelk-post stats PROGRAM: the program read back alone (no job), counted,
// its strokes held against the clamps' zones: what one program read back
// costs, against which diff is measured.
void BM_PelkPostStatsAlone(benchmark::State &state) {
    const std::string job = write_punching_job(static_cast<int>(state.range(0)));
    const std::string program = posted_program(job);
    if (program.empty()) {
        state.SkipWithError("pelk-post could not write the program");
        return;
    }
    time_runs(state, program, arguments({"stats", program}), state.range(0));
}

// The punching job's program for an inch machine: the same work written in
// inches, every row and place rounded its own way.
std::string posted_inch_program(const std::string &job) {
    const std::string program = job + ".inch.nc";
    const std::string inch_job = job + ".inch.json";
    if (std::filesystem::exists(program)) return program;
    std::ifstream in(job);
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const std::string machine = R"j({"machine": {"post_processor": 7001)j";
    if (text.compare(0, machine.size(), machine) != 0) return "";
    text.insert(machine.size(), R"j(, "units": "inch")j");
    std::ofstream(inch_job) << text;
    ChildUsage used;
    if (spawner.run(arguments({"-o", program, inch_job}), used) != 0) return "";
    std::filesystem::remove(inch_job);
    std::ofstream(job + ".inch-machine.json") << R"j({"machine": {"units": "inch"}})j";
    return program;
}

// pelk-post diff OLD NEW: two programs of N strokes that do the same, one
// in millimetres, one in inches (so that no line of the one is a line of the
// other), each read back on a thread of its own and matched event by event.
void BM_PelkPostDiff(benchmark::State &state) {
    const std::string job = write_punching_job(static_cast<int>(state.range(0)));
    const std::string program = posted_program(job), inch = posted_inch_program(job);
    if (program.empty() || inch.empty()) {
        state.SkipWithError("pelk-post could not write the programs");
        return;
    }
    time_runs(state, program, arguments({"diff", program, inch, "--new-machine=" + job + ".inch-machine.json"}),
              state.range(0));
}

// ---- The read-back check of every post: posting as it is done by default
// ---- (the program read back and compared with the job before it is put in
// ---- place) against posting with --no-verify -------------------------------------

// A laser job of n elements, lines and half circles in turn: contours of a
// hundred elements each, a row of small slots, laid out over the sheet.
std::string write_laser_job(long elements) {
    return generated_job("laser_" + std::to_string(elements), [elements](std::ostream &out) {
        out << R"j({"machine": {"post_processor": 7001, "laser_allowed": 2, "machine_dir": ")j" << PELK_EXAMPLES_DIR
            << R"j(/machine"},
 "sheet": {"material": "ST37 (3)", "thickness": 2, "nest_name": "BENCH"},
 "turret": [{"tool": 11, "station": 1}, {"tool": 90, "station": 20, "laser": true}],
 "laser_technologies": [{"number": 1, "feedrate": 25, "mode": 1, "m7x": 2, "s_value": 450}],
 "work": [
)j";
        constexpr long PER_CONTOUR = 100;
        char text[200];
        for (long c = 0; c * PER_CONTOUR < elements; ++c) {
            const double x0 = 10.0 + static_cast<double>(c % 10) * 240.0;
            const double y = 10.0 + static_cast<double>(c / 10 % 100) * 12.0;
            out << (c == 0 ? "" : ",\n") << R"j({"laser_contour": {"technology": 1, "elements": [)j";
            const long n = std::min(PER_CONTOUR, elements - c * PER_CONTOUR);
            for (long k = 0; k < n; ++k) {
                const double x = x0 + static_cast<double>(k / 2) * 4.0;
                if (k % 2 == 0) {
                    std::snprintf(text, sizeof text, R"j({"line": {"from": [%.2f, %.2f], "to": [%.2f, %.2f]}})j", x, y,
                                  x + 2.0, y);
                } else {
                    std::snprintf(text, sizeof text,
                                  R"j({"arc": {"from": [%.2f, %.2f], "to": [%.2f, %.2f], "centre": [%.2f, %.2f], "sense": "cw"}})j",
                                  x + 2.0, y, x + 4.0, y, x + 3.0, y);
                }
                out << (k == 0 ? "" : ", ") << text;
            }
            out << "]}}";
        }
        out << "]}\n";
    });
}

// Posts job as the benchmark's iterations, with the read-back check or
// without it (--no-verify).
void run_post(benchmark::State &state, const std::string &job, bool check, long items) {
    const std::string output = job + (check ? ".checked.nc" : ".unchecked.nc");
    time_runs(state, job, check ? arguments({"-o", output, job}) : arguments({"--no-verify", "-o", output, job}), items);
    std::filesystem::remove(output);
}

void BM_PelkPostChecked(benchmark::State &state) {
    run_post(state, write_punching_job(static_cast<int>(state.range(0))), true, state.range(0));
}
void BM_PelkPostNoVerify(benchmark::State &state) {
    run_post(state, write_punching_job(static_cast<int>(state.range(0))), false, state.range(0));
}
void BM_PelkPostLaserChecked(benchmark::State &state) {
    run_post(state, write_laser_job(state.range(0)), true, state.range(0));
}
void BM_PelkPostLaserNoVerify(benchmark::State &state) {
    run_post(state, write_laser_job(state.range(0)), false, state.range(0));
}

// ---- Long lists besides the work: a pattern's body, many patterns, clamps, ----
// ---- laser technologies ---------------------------------------------------------

constexpr const char *LIST_JOB_HEAD = R"j({"machine": {"post_processor": 7001, "max_patterns": 1000000, "laser_allowed": 2)j";
constexpr const char *LIST_JOB_TURRET = R"j(
 "sheet": {"material": "ST37 (3)", "nest_name": "BENCH"},
 "turret": [{"tool": 11, "station": 1, "indexable": true}, {"tool": 90, "station": 20, "laser": true}],
)j";

// A job written by write(out) into the temporary folder once, and kept.
template <typename Write>
std::string generated_job(const std::string &name, Write write) {
    const std::string path = (std::filesystem::temp_directory_path() / ("pelk_bench_" + name + ".json")).string();
    if (std::filesystem::exists(path)) return path;
    std::ofstream out(path + ".part");
    write(out);
    out.close();
    std::filesystem::rename(path + ".part", path);
    return path;
}

// n hits of tool 11 on a grid, comma-separated, as a body or a work list.
void write_hits(std::ostream &out, long n) {
    char line[120];
    for (long i = 0; i < n; ++i) {
        std::snprintf(line, sizeof line, "%s{\"hit\": {\"x\": %.2f, \"y\": %.2f, \"tool\": 11}}", i == 0 ? "" : ",\n",
                      10.0 + static_cast<double>(i % 200) * 12.5, 10.0 + static_cast<double>(i / 200 % 100) * 12.5);
        out << line;
    }
}

// One pattern whose body holds n hits, called ten times in a row.
void BM_PelkPostPatternBody(benchmark::State &state) {
    const long n = state.range(0);
    const std::string job = generated_job("body_" + std::to_string(n), [n](std::ostream &out) {
        out << LIST_JOB_HEAD << "}," << LIST_JOB_TURRET << R"j( "patterns": [{"number": 1, "body": [)j";
        write_hits(out, n);
        out << "]}],\n \"work\": [{\"pattern_repeat\": {\"pattern\": 1, \"x\": 0, \"y\": 0, \"dx\": 3000, \"count\": 10}}]}\n";
    });
    run_end_to_end(state, job, n);
}

// n patterns of ten hits each, each called ten times singly: ten times as
// many calls as patterns.
void BM_PelkPostPatterns(benchmark::State &state) {
    const long n = state.range(0);
    const std::string job = generated_job("patterns_" + std::to_string(n), [n](std::ostream &out) {
        out << LIST_JOB_HEAD << "}," << LIST_JOB_TURRET << R"j( "patterns": [)j";
        for (long p = 1; p <= n; ++p) {
            out << (p == 1 ? "" : ",\n") << "{\"number\": " << p << ", \"body\": [";
            write_hits(out, 10);
            out << "]}";
        }
        out << "],\n \"work\": [";
        for (long c = 0; c < 10 * n; ++c) {
            out << (c == 0 ? "" : ",\n") << "{\"pattern_call\": {\"pattern\": " << c % n + 1 << ", \"x\": " << c % 1000
                << ", \"y\": " << c / 1000 % 1000 << "}}";
        }
        out << "]}\n";
    });
    run_end_to_end(state, job, n);
}

// n clamp positions, a few hits.
void BM_PelkPostClamps(benchmark::State &state) {
    const long n = state.range(0);
    const std::string job = generated_job("clamps_" + std::to_string(n), [n](std::ostream &out) {
        out << LIST_JOB_HEAD << R"j(, "clamps": [)j";
        for (long i = 0; i < n; ++i) out << (i == 0 ? "" : ", ") << 100 + i % 2000;
        out << "]}," << LIST_JOB_TURRET << R"j( "work": [)j";
        write_hits(out, 10);
        out << "]}\n";
    });
    run_end_to_end(state, job, n);
}

// n laser technologies, a contour of a line for each of the last thousand.
void BM_PelkPostTechnologies(benchmark::State &state) {
    const long n = state.range(0);
    const std::string job = generated_job("technologies_" + std::to_string(n), [n](std::ostream &out) {
        out << LIST_JOB_HEAD << R"j(, "machine_dir": ")j" << PELK_EXAMPLES_DIR << "/machine\"}," << LIST_JOB_TURRET
            << R"j( "laser_technologies": [)j";
        for (long t = 1; t <= n; ++t) {
            out << (t == 1 ? "" : ",\n") << "{\"number\": " << t << R"j(, "feedrate": 25, "mode": 1, "m7x": 2, "s_value": )j"
                << 400 + t % 100 << "}";
        }
        out << "],\n \"work\": [";
        const long contours = std::min(n, 1000L);
        for (long c = 0; c < contours; ++c) {
            const long x = 10 + c % 100 * 20, y = 10 + c / 100 * 20;
            out << (c == 0 ? "" : ",\n") << "{\"laser_contour\": {\"technology\": " << n - c
                << ", \"elements\": [{\"line\": {\"from\": [" << x << ", " << y << "], \"to\": [" << x + 10 << ", " << y
                << "]}, \"laser_off\": 3}]}}";
        }
        out << "]}\n";
    });
    run_end_to_end(state, job, n);
}

BENCHMARK(BM_PelkPostEndToEnd)
    ->Arg(10000)
    ->Arg(100000)
    ->Arg(1000000)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->MinTime(2.0);
BENCHMARK(BM_PelkPostVerify)->Arg(100000)->Arg(1000000)->UseManualTime()->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_PelkPostStats)->Arg(100000)->Arg(1000000)->UseManualTime()->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_PelkPostStatsAlone)->Arg(1000000)->UseManualTime()->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_PelkPostDiff)->Arg(1000000)->UseManualTime()->Unit(benchmark::kMillisecond)->MinTime(2.0);

BENCHMARK(BM_PelkPostChecked)->Arg(1000000)->UseManualTime()->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_PelkPostNoVerify)->Arg(1000000)->UseManualTime()->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_PelkPostLaserChecked)->Arg(100000)->UseManualTime()->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_PelkPostLaserNoVerify)->Arg(100000)->UseManualTime()->Unit(benchmark::kMillisecond)->MinTime(2.0);

BENCHMARK(BM_PelkPostPatternBody)->Arg(10000)->Arg(100000)->UseManualTime()->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_PelkPostPatterns)->Arg(10000)->Arg(100000)->UseManualTime()->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_PelkPostClamps)->Arg(10000)->Arg(1000000)->UseManualTime()->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_PelkPostTechnologies)->Arg(10000)->Arg(100000)->UseManualTime()->Unit(benchmark::kMillisecond)->MinTime(2.0);

}  // namespace
