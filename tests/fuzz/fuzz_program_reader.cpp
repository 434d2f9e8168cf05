// fuzz_program_reader.cpp - any bytes as an NC program, read through the
// model of the control as verify, plot and stats read it: the reader takes
// the program or refuses it with a ProgramError, never anything else; the
// program read whole and fed in pieces (of sizes taken from the input) gives
// the same events and the same error; the statistics count the events
// without undefined behaviour.
//
// Each input is read on two machines: a millimetre one whose control holds
// the patterns of a golden job under pattern style 7 and knows the LASER.PAR
// section of ST37 2 mm, and an inch one.
#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>

#include "job/job_reader.h"
#include "nc/block_reader.h"
#include "nc/control.h"
#include "nc/program_error.h"
#include "stats/report.h"
#include "stats/statistics.h"
#include "verify/control_setup.h"

namespace {

// A program may expand into more events than a run can walk (ten million
// copies of a pattern that nibbles a trillion strokes): both readings stop
// after this many, which keeps a run of the sanitized target within a tenth
// of a second.  (The counts that saturate only past ten million such copies
// are held by pelk-post stats itself, not here.)
constexpr long long MOST_EVENTS = 20000;

// The program's bytes in pieces: the sizes run through the input's own
// bytes, from 1 to 64, so that a piece may end anywhere (inside a CR LF, a
// number, a long line).
class BytesInPieces : public nc::ByteSource {
public:
    explicit BytesInPieces(std::string_view bytes) : bytes_(bytes) {}
    std::size_t read(char *buffer, std::size_t size) override {
        if (at_ == bytes_.size()) return 0;
        const std::size_t want = static_cast<unsigned char>(bytes_[(at_ * 7 + 3) % bytes_.size()]) % 64 + 1;
        const std::size_t n = std::min({want, size, bytes_.size() - at_});
        std::memcpy(buffer, bytes_.data() + at_, n);
        at_ += n;
        return n;
    }

private:
    std::string_view bytes_;
    std::size_t at_ = 0;
};

// Every field of an event, numbers exactly, its text as text.
void add(std::string &out, const nc::Event &e, const nc::TextTable &texts) {
    char line[1024];
    std::snprintf(line, sizeof line,
                  "%d %lld/%lld %u %a %a %a %a %d %a %a %a %a %a | %d %a %d %d | %d %d %d %lld %a %d %d | %d %lld %d %a %a %a",
                  static_cast<int>(e.kind), e.where.line, e.where.call_line, e.checks, e.x0, e.y0, e.x, e.y,
                  static_cast<int>(e.shape), e.xc, e.yc, e.radius, e.sweep, e.step, e.tool.station, e.tool.angle,
                  e.tool.forming ? 1 : 0, e.tool.m61x, e.technology.head, e.technology.m7x, e.technology.mode,
                  e.technology.s, e.technology.feed, static_cast<int>(e.technology.compensation),
                  static_cast<int>(e.technology.junction), e.number, e.count, static_cast<int>(e.purpose), e.value,
                  e.value2, e.value3);
    out += line;
    if (e.text >= 0) out += " \"" + texts.text(e.text) + "\"";
    out += '\n';
}

// The setup copied with a table of texts of its own (the table grows with
// every text read; the stored patterns' texts stay where they are).
nc::Setup fresh(const nc::Setup &setup) {
    nc::Setup s = setup;
    s.texts = std::make_shared<nc::TextTable>(*setup.texts);
    return s;
}

struct Reading {
    std::string events;  // the digest of the events, then "error: ..." when the reader refused
    stats::Statistics statistics;
};

Reading read_program(nc::ByteSource &source, const nc::Setup &base, bool count) {
    const nc::Setup setup = fresh(base);
    Reading r;
    nc::BlockReader reader(source, setup.known, setup.texts.get());
    nc::Control control(reader, setup);
    nc::Generator<nc::Event> events = control.events();
    stats::MachineTimes times;
    times.inch = setup.inch;
    const stats::TimeModel time(times);
    stats::Counter counter(time);
    try {
        nc::Event e;
        for (long long n = 0; n < MOST_EVENTS && events.next(e); ++n) {
            add(r.events, e, *setup.texts);
            if (count) counter.add(e);
        }
    } catch (const nc::ProgramError &e) {
        r.events += std::string("error: ") + e.what();
    }
    // Anything else thrown (a std::runtime_error of the byte source, an
    // allocation failure) ends the run as a finding.
    if (count) {
        r.statistics = counter.result(reader.lines());
        // The report writes every count and time.
        (void)stats::table(r.statistics, times);
        (void)stats::json(r.statistics, times);
    }
    return r;
}

nc::Setup setup_of(const char *job_file) {
    job::Job job = job::read_job_file(std::string(FUZZ_GOLDEN_DIR) + "/" + job_file + "/job.json");
    job.machine.machine_dir = FUZZ_MACHINE_DIR;
    return verify::control_setup(job, verify::read_laser_par_section(FUZZ_MACHINE_DIR, "ST37", 2.0));
}

const nc::Setup &millimetre_setup() {
    static const nc::Setup setup = setup_of("patterns_hits_offset");
    return setup;
}

const nc::Setup &inch_setup() {
    static const nc::Setup setup = setup_of("punch_rows_nibbling_inch");
    return setup;
}

void check(std::string_view bytes, const nc::Setup &setup) {
    nc::TextSource whole_source{std::string(bytes)};
    const Reading whole = read_program(whole_source, setup, true);
    BytesInPieces pieces(bytes);
    const Reading piecewise = read_program(pieces, setup, false);
    if (whole.events != piecewise.events) {
        std::size_t at = 0;
        while (at < whole.events.size() && at < piecewise.events.size() && whole.events[at] == piecewise.events[at]) ++at;
        const std::size_t from = whole.events.rfind('\n', at) == std::string::npos ? 0 : whole.events.rfind('\n', at) + 1;
        std::fprintf(stderr, "read whole and in pieces differ (%s machine) from:\nwhole: %.600s\nin pieces: %.600s\n",
                     setup.inch ? "inch" : "millimetre", whole.events.c_str() + from,
                     piecewise.events.c_str() + std::min(from, piecewise.events.size()));
        std::abort();
    }
    const stats::Statistics &s = whole.statistics;
    if (s.strokes < 0 || s.nibble_strokes < 0 || s.nibble_paths < 0 || s.pattern_copies < 0 || s.moves < 0 ||
        std::isnan(s.total_seconds)) {
        std::fprintf(stderr, "statistics out of range: %lld strokes, %lld nibbling strokes, %f s\n", s.strokes,
                     s.nibble_strokes, s.total_seconds);
        std::abort();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char *>(data), size);
    check(bytes, millimetre_setup());
    check(bytes, inch_setup());
    return 0;
}
