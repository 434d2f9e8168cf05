// post_and_verify.cpp - random jobs posted and read back: every program
// written must do what its job says.
//
//   post_and_verify [--from SEED] [--count N] [--seeds S,S,...] [--show SEED] [--events SEED] [--keep DIR]
//
// Posts the jobs of seeds SEED .. SEED + N - 1 (1 and 2000 by default), or
// of the seeds listed (the past findings the test command keeps), with
// the module, reads each program back through the model of the control and
// holds it against its job.  A job the reader refuses is counted, not a
// fault (the generator keeps them rare).  Any other outcome is a fault: the
// seed, the first differences and the job's text are printed, and with
// --keep the job and its program are written into DIR as a case to keep.
// --show SEED prints one seed's job and its program; --events SEED the
// events of its program and of its job, side by side in two lists.  Exit 0 when every
// program verified, 1 otherwise.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "host/host.h"
#include "job/job_reader.h"
#include "nc/block_reader.h"
#include "nc/control.h"
#include "tests/property/post_check.h"
#include "tests/property/random_job.h"
#include "verify/comparison.h"
#include "verify/control_setup.h"
#include "verify/event_text.h"
#include "verify/job_events.h"

namespace {

struct Outcome {
    enum class Kind { verified, refused, fault } kind = Kind::verified;
    std::string program;
    std::string what;   // the refusal or the fault
};

Outcome post_and_check(const std::string &text) {
    Outcome o;
    job::Job job;
    try {
        job = job::parse_job(text, "random.json");
    } catch (const job::JobError &e) {
        o.kind = Outcome::Kind::refused;
        o.what = e.what();
        return o;
    }
    // A program stopped before its end is a fault here: no random job asks
    // the module to stop.
    const property::PostCheck c = property::post_and_check(job);
    o.program = c.program;
    o.what = c.what;
    o.kind = c.kind == property::PostCheck::Kind::verified ? Outcome::Kind::verified : Outcome::Kind::fault;
    return o;
}

// The events of a seed's program and of its job, one per line.
void print_events(const std::string &text) {
    const job::Job job = job::parse_job(text, "random.json");
    host::reset_host();
    host::set_message_stream(nullptr);
    host::MemoryWriter writer;
    host::run_program(job, writer);
    host::set_writer(nullptr);
    const verify::LaserParSection section = verify::laser_par_section_of(job);
    const nc::Setup setup = verify::control_setup(job, section);
    nc::TextSource source(writer.text());
    nc::BlockReader reader(source, setup.known, setup.texts.get());
    nc::Control control(reader, setup);
    nc::Generator<nc::Event> events = control.events();
    nc::Event e;
    std::printf("---- the program's events\n");
    while (events.next(e)) {
        std::printf("%lld: %s (from X%.4f Y%.4f)\n", e.where.line,
                    verify::event_text(e, job.machine.inch, true, setup.texts.get()).c_str(), e.x0, e.y0);
    }
    verify::JobEvents expansion(job, setup);
    nc::Generator<verify::JobEvent> job_events = expansion.events();
    verify::JobEvent j;
    std::printf("---- the job's events\n");
    while (job_events.next(j)) {
        std::printf("%s: %s\n", verify::place_name(j.place, job).c_str(),
                    verify::event_text(j.event, job.machine.inch, true, setup.texts.get()).c_str());
    }
}

unsigned long long number_of(const char *text, const char *option) {
    char *end = nullptr;
    const unsigned long long value = std::strtoull(text, &end, 10);
    if (end == text || *end != '\0') {
        std::fprintf(stderr, "post_and_verify: %s takes a number, not '%s'\n", option, text);
        std::exit(2);
    }
    return value;
}

}  // namespace

int main(int argc, char **argv) {
    unsigned long long from = 1, count = 2000, show = 0, events = 0;
    std::string keep;
    std::vector<unsigned long long> listed;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (i + 1 >= argc) {
            std::fprintf(stderr, "post_and_verify: %s needs a value\n", a.c_str());
            return 2;
        }
        if (a == "--from") from = number_of(argv[++i], "--from");
        else if (a == "--count") count = number_of(argv[++i], "--count");
        else if (a == "--show") show = number_of(argv[++i], "--show");
        else if (a == "--events") events = number_of(argv[++i], "--events");
        else if (a == "--keep") keep = argv[++i];
        else if (a == "--seeds") {
            std::string list = argv[++i];
            for (std::size_t at = 0; at <= list.size();) {
                const std::size_t comma = std::min(list.find(',', at), list.size());
                listed.push_back(number_of(list.substr(at, comma - at).c_str(), "--seeds"));
                at = comma + 1;
            }
        } else {
            std::fprintf(stderr, "post_and_verify: unknown option %s\n", a.c_str());
            return 2;
        }
    }
    std::string error;
    if (!host::load_module(PELK_MODULE_PATH, error)) {
        std::fprintf(stderr, "post_and_verify: cannot load the module: %s\n", error.c_str());
        return 2;
    }
    const std::string machine_dir = PROPERTY_MACHINE_DIR;
    if (events != 0) {
        print_events(property::random_job(events, machine_dir));
        return 0;
    }
    if (show != 0) {
        const std::string text = property::random_job(show, machine_dir);
        const Outcome o = post_and_check(text);
        std::printf("%s\n%s\n%s\n", text.c_str(), o.program.c_str(), o.what.c_str());
        return o.kind == Outcome::Kind::fault ? 1 : 0;
    }
    std::vector<unsigned long long> seeds = listed;
    if (seeds.empty()) {
        for (unsigned long long seed = from; seed < from + count; ++seed) seeds.push_back(seed);
    }
    count = seeds.size();
    unsigned long long refused = 0, faults = 0, shown = 0;
    std::string first_refusal;
    for (const unsigned long long seed : seeds) {
        const std::string text = property::random_job(seed, machine_dir);
        const Outcome o = post_and_check(text);
        if (o.kind == Outcome::Kind::refused) {
            if (refused++ == 0) first_refusal = "seed " + std::to_string(seed) + ": " + o.what;
            continue;
        }
        if (o.kind != Outcome::Kind::fault) continue;
        ++faults;
        if (shown++ < 3) {
            std::printf("seed %llu: %s\n", seed, o.what.c_str());
            if (shown == 1) std::printf("the job of seed %llu:\n%s\n", seed, text.c_str());
        } else {
            // The count and the first difference.
            const std::size_t second = o.what.find('\n', o.what.find('\n') + 1);
            std::printf("seed %llu: %s\n", seed, o.what.substr(0, second).c_str());
        }
        if (!keep.empty()) {
            const std::filesystem::path dir = std::filesystem::path(keep) / ("seed_" + std::to_string(seed));
            std::filesystem::create_directories(dir);
            std::ofstream(dir / "job.json") << text;
            std::ofstream(dir / "program.nc", std::ios::binary) << o.program;
        }
    }
    if (listed.empty()) {
        std::printf("%llu jobs (seeds %llu to %llu): ", count, from, from + count - 1);
    } else {
        std::printf("%llu jobs (the seeds listed): ", count);
    }
    std::printf("%llu verified, %llu refused by the reader, %llu faults\n", count - refused - faults, refused, faults);
    if (!first_refusal.empty()) std::printf("first refusal: %s\n", first_refusal.c_str());
    // The generator makes jobs the reader takes; many refusals mean it lost
    // its way and the test would prove little.
    if (refused * 10 > count) {
        std::printf("more than a tenth of the jobs were refused: the generator makes jobs the reader does not take\n");
        return 1;
    }
    return faults == 0 ? 0 : 1;
}
