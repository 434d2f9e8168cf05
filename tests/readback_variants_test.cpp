// Every golden job and every sample, posted in millimetres and in inches, for
// the variants 7000, 7001 and 7002 and both pattern styles, reads back as
// its job: the control does what the job says.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <sstream>

#include <nlohmann/json.hpp>

#include "job/job_reader.h"
#include "tests/support/host_fixture.h"
#include "tests/support/readback.h"

namespace {

namespace fs = std::filesystem;

struct Case {
    std::string name;
    fs::path job;
};

std::vector<Case> golden_jobs_and_samples() {
    std::vector<Case> cases;
    for (const auto &entry : fs::directory_iterator(source_path("tests/golden"))) {
        if (fs::exists(entry.path() / "job.json")) cases.push_back({entry.path().filename().string(), entry.path() / "job.json"});
    }
    for (const auto &entry : fs::directory_iterator(source_path("examples"))) {
        if (entry.path().extension() == ".json") cases.push_back({entry.path().stem().string(), entry.path()});
    }
    std::sort(cases.begin(), cases.end(), [](const Case &a, const Case &b) { return a.name < b.name; });
    return cases;
}

class ReadBackVariants : public HostTest {};

TEST_F(ReadBackVariants, EveryGoldenJobAndSampleVerifiesInEveryUnitVariantAndPatternStyle) {
    long long checked = 0;
    for (const Case &c : golden_jobs_and_samples()) {
        std::ifstream in(c.job);
        nlohmann::json base = nlohmann::json::parse(in);
        const std::string folder = c.job.parent_path().string();
        for (const char *units : {"mm", "inch"}) {
            for (int variant : {7000, 7001, 7002}) {
                for (int style : {0, 7}) {
                    nlohmann::json j = base;
                    j["machine"]["units"] = units;
                    j["machine"]["post_processor"] = variant;
                    j["machine"]["pattern_style"] = style;
                    std::ostringstream name;
                    name << c.name << ", " << units << ", " << variant << ", pattern style " << style;
                    SCOPED_TRACE(name.str());
                    const job::Job job = job::parse_job(j.dump(), folder);
                    const std::string program = posted_program(job);
                    // A nibbled element that the control cannot end where the
                    // job does is posted with a warning; read back, verify
                    // finds it and warns of it in the same words.
                    const verify::ComparisonResult r = check_program(job, program);
                    EXPECT_EQ(r.differences, 0) << (r.messages.empty() ? "" : r.messages.front());
                    for (const std::string &m : host::messages()) {
                        if (m.find("from the job's end") == std::string::npos) continue;
                        EXPECT_NE(std::find(r.warnings.begin(), r.warnings.end(), m.substr(m.find(": ") + 2)), r.warnings.end())
                            << "posting warned: " << m;
                    }
                    EXPECT_GT(r.events, 0);
                    ++checked;
                }
            }
        }
    }
    EXPECT_GE(checked, 12 * 32);
}

}  // namespace
