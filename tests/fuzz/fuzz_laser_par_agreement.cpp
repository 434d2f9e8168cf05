// fuzz_laser_par_agreement.cpp - any bytes as LASER.PAR, read by the module
// as it posts a laser job and by verify's own reader of the file: the two
// readers of one file format must agree on every file.
//
// What must hold: the program is the program the job gets without a
// LASER.PAR, with exactly the lines of the section that verify's reader
// takes from the file inserted in one place (or none, when it takes none);
// the program does what the job says, and the check warns of exactly what
// the post warned of (lines left out, a file or section too large, no
// section for the sheet).
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "tests/fuzz/laser_par_file.h"
#include "tests/fuzz/pipeline_run.h"
#include "tests/property/post_check.h"
#include "verify/control_setup.h"
#include "verify/laser_par_section.h"

namespace {

using fuzz::lines_of;

// The job's program without parameter lines: posted from an empty LASER.PAR.
const std::vector<std::string> &program_without_parameters() {
    static const std::vector<std::string> lines = [] {
        fuzz::write_laser_par(nullptr, 0);
        fuzz::load_module_once();
        const property::PostCheck c = property::post_and_check(fuzz::laser_job());
        if (c.kind != property::PostCheck::Kind::verified) {
            std::fprintf(stderr, "the laser job without LASER.PAR: %s\n", c.what.c_str());
            std::abort();
        }
        return lines_of(c.program);
    }();
    return lines;
}

// Whether program is base with section inserted at one place.
bool is_base_with(const std::vector<std::string> &program, const std::vector<std::string> &base,
                  const std::vector<std::string> &section) {
    if (program.size() != base.size() + section.size()) return false;
    for (std::size_t at = 0; at <= base.size(); ++at) {
        bool same = true;
        for (std::size_t i = 0; i < program.size() && same; ++i) {
            const std::string &expected = i < at ? base[i]
                                          : i < at + section.size() ? section[i - at]
                                                                     : base[i - section.size()];
            same = program[i] == expected;
        }
        if (same) return true;
    }
    return false;
}

[[noreturn]] void fail(const char *what, const std::string &detail, const std::string &program) {
    std::fprintf(stderr, "%s%s\nthe program:\n%.4000s\n", what, detail.c_str(), program.c_str());
    std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    const std::vector<std::string> &base = program_without_parameters();
    fuzz::write_laser_par(data, size);
    const job::Job &job = fuzz::laser_job();
    const property::PostCheck c = property::post_and_check(job);
    const verify::LaserParSection section = verify::laser_par_section_of(job);
    std::vector<std::string> expected;
    for (const std::string &line : section.lines) expected.push_back(line + "\r\n");
    if (c.kind == property::PostCheck::Kind::stopped) fail("the program was stopped before its end", "", c.program);
    if (c.kind == property::PostCheck::Kind::fault) {
        fail("posted, then read back: ", c.what, c.program);
    }
    if (!is_base_with(lines_of(c.program), base, expected)) {
        std::string lines;
        for (const std::string &line : section.lines) lines += "\n    " + line;
        fail("the program does not hold verify's section of LASER.PAR in one place:", lines, c.program);
    }
    return 0;
}
