// Programs mangled byte by byte are read or refused with a line named, never
// a crash: the reader and the control model take any text.
#include <gtest/gtest.h>

#include <filesystem>
#include <random>
#include <string>

#include "job/job_reader.h"
#include "nc/block_reader.h"
#include "nc/control.h"
#include "nc/program_error.h"
#include "tests/support/cli_fixture.h"
#include "tests/support/readback.h"
#include "verify/control_setup.h"

namespace {

// Pulls at most limit events: a mangled count may ask for billions of strokes.
void run_some(const std::string &program, const nc::Setup &setup, long long limit) {
    nc::TextSource source(program);
    nc::BlockReader reader(source, setup.known);
    nc::Control control(reader, setup);
    nc::Generator<nc::Event> events = control.events();
    nc::Event e;
    for (long long n = 0; n < limit && events.next(e); ++n) {
    }
}

TEST(NcMangled, MangledProgramsAreReadOrRefusedNeverCrash) {
    static const char SPICE[] = {'-', '.', '0', '9', 'X', 'Y', 'D', 'T', 'C', 'M', 'F', '/', ' ', '(', ')',
                                 '%', '\0', '\r', '\n', 'P', 'A', 'E', 'N', 'L', 'R', 'U', 'O', '\x7f', '\xff'};
    std::mt19937 random(20240517u);
    long long refused = 0, taken = 0;
    for (const auto &entry : std::filesystem::directory_iterator(source_path("tests/golden"))) {
        if (!std::filesystem::exists(entry.path() / "job.json")) continue;
        const job::Job job = job::read_job_file((entry.path() / "job.json").string());
        const nc::Setup setup = verify::control_setup(job, verify::laser_par_section_of(job));
        const std::string golden = read_file(entry.path() / "expected.nc");
        for (int round = 0; round < 120; ++round) {
            std::string text = golden;
            const int changes = 1 + static_cast<int>(random() % 3);
            for (int c = 0; c < changes && !text.empty(); ++c) {
                const std::size_t at = random() % text.size();
                switch (random() % 4) {
                case 0: text[at] = SPICE[random() % sizeof SPICE]; break;
                case 1: text.erase(at, 1); break;
                case 2: text.insert(at, 1, SPICE[random() % sizeof SPICE]); break;
                default: {
                    const std::size_t start = text.rfind('\n', at) == std::string::npos ? 0 : text.rfind('\n', at) + 1;
                    const std::size_t end = text.find('\n', at);
                    if (end != std::string::npos) text.insert(start, text.substr(start, end + 1 - start));
                }
                }
            }
            try {
                run_some(text, setup, 100000);
                ++taken;
            } catch (const nc::ProgramError &e) {
                EXPECT_GT(e.line(), 0) << e.what();
                ++refused;
            }
        }
    }
    EXPECT_GT(refused, 0);
    EXPECT_GT(taken, 0);
}

}  // namespace
