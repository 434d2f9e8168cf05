// Many jobs in one call: each in a run of its own, the programs exactly what
// the jobs give alone, whatever the order and however many run at once.
#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "tests/support/cli_fixture.h"

namespace fs = std::filesystem;

namespace {

// Every golden case copied into the test folder: <dir>/<case>/job.json with
// its machine folder, and the program the case expects.
struct Case {
    std::string job;
    std::string expected;
};

std::vector<Case> copy_golden_cases(const fs::path &dir) {
    std::vector<Case> cases;
    for (const auto &entry : fs::directory_iterator(fs::path(PELK_SOURCE_DIR) / "tests" / "golden")) {
        if (!entry.is_directory()) continue;
        const fs::path target = dir / entry.path().filename();
        fs::copy(entry.path(), target, fs::copy_options::recursive);
        cases.push_back({(target / "job.json").string(), read_file(entry.path() / "expected.nc")});
    }
    std::sort(cases.begin(), cases.end(), [](const Case &a, const Case &b) { return a.job < b.job; });
    return cases;
}

}  // namespace

TEST_F(PelkPost, ManyJobsGiveTheProgramsEachGivesAloneInAnyOrder) {
    const std::vector<Case> cases = copy_golden_cases(dir);
    ASSERT_GT(cases.size(), 20u);
    for (const bool reversed : {false, true}) {
        SCOPED_TRACE(reversed ? "reversed, one at a time" : "in order, two at once");
        std::string jobs;
        for (std::size_t i = 0; i < cases.size(); ++i) {
            jobs += " " + quote(cases[reversed ? cases.size() - 1 - i : i].job);
        }
        const Result r = pelk_post(std::string(reversed ? "-j 1" : "-j 2") + jobs);
        // Some cases show warnings by design: the worst status is theirs.
        EXPECT_EQ(r.status, 3) << r.err;
        EXPECT_NE(r.err.find(std::to_string(cases.size()) + " jobs: "), std::string::npos) << r.err;
        EXPECT_NE(r.err.find(" 0 refused\n"), std::string::npos) << r.err;
        for (const Case &c : cases) {
            const fs::path program = fs::path(c.job).replace_extension(".nc");
            EXPECT_EQ(read_file(program), c.expected) << program;
            fs::remove(program);
        }
    }
}

TEST_F(PelkPost, ABatchNamesEachJobThatFailedAndEndsWithTheWorst) {
    const std::string good = job(GOOD_JOB, "good.json");
    const std::string other = job(GOOD_JOB, "other.json");
    const std::string bad = job(R"({"work": [{"hit": {"x": 1}}]})", "bad.json");
    struct Row {
        const char *what;
        std::string args;
        int status;
        std::string message;  // a line of standard error
    } rows[] = {
        {"all clean", quote(good) + " " + quote(other), 0, "2 jobs: 2 written, 0 with warnings, 0 refused"},
        {"one refused", quote(good) + " " + quote(bad), 1,
         "pelk-post: " + bad + ": error: /work/0/hit: missing key \"y\""},
        {"into a folder made for them", "--output-dir " + quote((dir / "nc" / "out").string()) + " " + quote(good) +
                                            " " + quote(other),
         0, "2 jobs: 2 written"},
        {"two jobs, one program", "--output-dir " + quote(dir.string()) + " " + quote(good) + " " +
                                      quote((dir / "nc" / "good.json").string()),
         1, "would both write"},
        {"-o with several jobs", "-o x.nc " + quote(good) + " " + quote(other), 2, "with several jobs use --output-dir"},
        {"standard input in a batch", quote(good) + " - < " + quote(good), 1, "is posted alone"},
        {"checked only", "--check " + quote(good) + " " + quote(bad), 1, "2 jobs: 1 passed, 0 with warnings, 1 refused"},
    };
    write_file(dir / "nc" / "good.json", GOOD_JOB);
    for (const Row &row : rows) {
        const Result r = pelk_post(row.args);
        EXPECT_EQ(r.status, row.status) << row.what << "\n" << r.err;
        EXPECT_NE(r.err.find(row.message), std::string::npos) << row.what << "\n" << r.err;
    }
    EXPECT_TRUE(fs::exists(dir / "nc" / "out" / "good.nc"));
    EXPECT_EQ(read_file(dir / "nc" / "out" / "good.nc"), read_file(dir / "good.nc"));
}
