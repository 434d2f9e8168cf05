// Many jobs in one call: each in a run of its own, the programs exactly what
// the jobs give alone, whatever the order and however many run at once.
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
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
        EXPECT_NE(r.err.find(" with warnings), 0 refused, 0 failed\n"), std::string::npos) << r.err;
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
        {"all clean", quote(good) + " " + quote(other), 0, "2 jobs: 2 written, 0 refused, 0 failed"},
        {"one refused", quote(good) + " " + quote(bad), 1,
         "pelk-post: " + bad + ": error: /work/0/hit: missing key \"y\""},
        {"into a folder made for them", "--output-dir " + quote((dir / "nc" / "out").string()) + " " + quote(good) +
                                            " " + quote(other),
         0, "2 jobs: 2 written"},
        {"two jobs, one program", "--output-dir " + quote(dir.string()) + " " + quote(good) + " " +
                                      quote((dir / "nc" / "good.json").string()),
         2, "would both write"},
        {"-o with several jobs", "-o x.nc " + quote(good) + " " + quote(other), 2, "with several jobs use --output-dir"},
        {"standard input in a batch", quote(good) + " - < " + quote(good), 2, "is posted alone"},
        {"checked only", "--check " + quote(good) + " " + quote(bad), 1, "2 jobs: 1 passed, 1 refused, 0 failed"},
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

// The summary counts every program written, those with warnings among them;
// a job the reader refuses is refused, a program that cannot be written has
// failed.  A program that would land on a job of the batch stops it all.
TEST_F(PelkPost, ABatchSummaryCountsWrittenRefusedAndFailed) {
    const std::string good = job(GOOD_JOB, "good.json");
    const std::string warned = job(R"({"machine": {"clamps": [350]}, "turret": [{"tool": 1, "station": 1}],
                                       "work": [{"hit": {"x": 350, "y": 5, "tool": 1}}]})", "warned.json");
    const std::string bad = job(R"({"work": [{"hit": {"x": 1}}]})", "bad.json");
    const std::string unwritable = job(GOOD_JOB, "unwritable.json");
    fs::create_directories(dir / "unwritable.nc");  // a folder where its program would go
    const Result r = pelk_post(quote(good) + " " + quote(warned) + " " + quote(bad) + " " + quote(unwritable));
    EXPECT_EQ(r.status, 1) << r.err;
    EXPECT_NE(r.err.find("\n4 jobs: 2 written (1 with warnings), 1 refused, 1 failed\n"), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("pelk-post: " + warned + ": warning: work[0] (hit): the stroke reaches"), std::string::npos) << r.err;

    const std::string program_named_like_a_job = job(GOOD_JOB, "good.nc");
    const Result over_a_job = pelk_post(quote(good) + " " + quote(program_named_like_a_job));
    EXPECT_EQ(over_a_job.status, 2) << over_a_job.err;
    EXPECT_NE(over_a_job.err.find("the program " + program_named_like_a_job + " of the job " + good + " is the job " +
                                  program_named_like_a_job),
              std::string::npos)
        << over_a_job.err;
    EXPECT_EQ(read_file(program_named_like_a_job), GOOD_JOB);
}

// The ids of the running children of a process, from /proc.
std::vector<pid_t> children_of(pid_t parent) {
    std::vector<pid_t> children;
    for (const auto &entry : fs::directory_iterator("/proc")) {
        const std::string name = entry.path().filename().string();
        if (name.find_first_not_of("0123456789") != std::string::npos) continue;
        std::ifstream stat(entry.path() / "stat");
        std::string line;
        std::getline(stat, line);
        // pid (comm) state ppid ...: the command may hold blanks and parentheses.
        const std::size_t close = line.rfind(')');
        if (close == std::string::npos) continue;
        char state = 0;
        int ppid = 0;
        if (std::sscanf(line.c_str() + close + 1, " %c %d", &state, &ppid) == 2 && ppid == parent && state != 'Z') {
            children.push_back(static_cast<pid_t>(std::stol(name)));
        }
    }
    return children;
}

// A signal to the batch's parent alone reaches its runs too: it waits for
// them, each removes its temporary, and no program appears after it ended.
TEST_F(PelkPost, ASignalToABatchStopsEveryRunWithIt) {
    // LASER.PAR as a FIFO without a writer: each run waits there, with its
    // program's temporary open beside its target, until the signal comes.
    fs::create_directories(dir / "machine");
    ASSERT_EQ(::mkfifo((dir / "machine" / "LASER.PAR").c_str(), 0600), 0);
    fs::create_directories(dir / "tmp");
    const std::string a = job(LASER_JOB, "a.json"), b = job(LASER_JOB, "b.json");
    for (const int signal_number : {SIGTERM, SIGINT}) {
        SCOPED_TRACE(signal_number);
        const pid_t parent = ::fork();
        ASSERT_GE(parent, 0);
        if (parent == 0) {
            ::setenv("TMPDIR", (dir / "tmp").c_str(), 1);
            ::freopen("/dev/null", "w", stderr);
            ::execl(PELK_POST_PATH, PELK_POST_PATH, "--module", PELK_MODULE_PATH, "-j", "2", a.c_str(), b.c_str(),
                    static_cast<char *>(nullptr));
            ::_exit(127);
        }
        // Both runs waiting with their temporaries: a generous time on a loaded machine.
        std::vector<pid_t> runs;
        std::size_t temporaries = 0;
        for (int i = 0; i < 6000 && (temporaries < 2 || runs.size() < 2); ++i) {
            temporaries = 0;
            for (const auto &entry : fs::directory_iterator(dir)) {
                const std::string name = entry.path().filename().string();
                if (name.rfind(".a.nc.", 0) == 0 || name.rfind(".b.nc.", 0) == 0) ++temporaries;
            }
            runs = children_of(parent);
            if (temporaries < 2 || runs.size() < 2) std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        EXPECT_EQ(temporaries, 2u) << "the runs did not start";
        EXPECT_EQ(runs.size(), 2u);
        ::kill(parent, signal_number);
        int status = 0;
        ASSERT_EQ(::waitpid(parent, &status, 0), parent);
        EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == signal_number) << status;
        // The runs ended before their parent did: none is left to write a program.
        for (const pid_t run : runs) {
            const bool gone = ::kill(run, 0) != 0 && errno == ESRCH;
            EXPECT_TRUE(gone) << "run " << run << " outlived the batch";
            if (!gone) ::kill(run, SIGKILL);
        }
        EXPECT_EQ(others(), "");
        EXPECT_TRUE(fs::is_empty(dir / "tmp"));
    }
}
