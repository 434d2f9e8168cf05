// cli_streams_test.cpp - pelk-post's inputs and outputs at their edges: jobs
// from standard input, the trace, closed or full streams, empty names, long
// or odd texts in messages, signals, and how the module is found.
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "tests/support/cli_fixture.h"

namespace fs = std::filesystem;

namespace {

constexpr int WRITTEN = 0, NOT_WRITTEN = 1, BAD_COMMAND_LINE = 2;

class Streams : public PelkPost {
protected:
    // The program of GOOD_JOB, as written to standard output.
    std::string good_program() {
        Result r = pelk_post("-o - " + quote(job(GOOD_JOB, "good.json")));
        EXPECT_EQ(r.status, WRITTEN) << r.err;
        return r.out;
    }
};

TEST_F(Streams, AJobFromStandardInputWritesToStandardOutput) {
    const std::string program = good_program();
    const std::string job_path = job(GOOD_JOB);
    for (const char *name : {"-", "/dev/stdin"}) {
        SCOPED_TRACE(name);
        Result r = pelk_post(std::string(name) + " <" + quote(job_path));
        EXPECT_EQ(r.status, WRITTEN) << r.err;
        EXPECT_EQ(r.out, program);
        // Or where -o says.
        Result to_file = pelk_post("-o " + quote((dir / "piped.nc").string()) + " " + name + " <" + quote(job_path));
        EXPECT_EQ(to_file.status, WRITTEN) << to_file.err;
        EXPECT_EQ(read_file(dir / "piped.nc"), program);
        fs::remove(dir / "piped.nc");
    }
    // Through a pipe, and a bad job from a pipe is named "standard input".
    Result piped = pelk_post("- <" + quote(job_path) + " | cat");
    EXPECT_EQ(piped.out, program);
    expect_refused(shell("printf '{\"work\": 1}' | " + pelk_post_command() + " -"), "standard input: /work:");
    EXPECT_EQ(others(), "");
}

TEST_F(Streams, AZeroByteInTheJobIsRefused) {
    const std::string text = std::string(GOOD_JOB) + "\n";
    for (const std::string &bad : {text + std::string(1, '\0'), std::string("{\n  \"work\"\0: []}", 16)}) {
        expect_refused(pelk_post(quote(job(bad))), "a NUL byte, which no JSON text holds");
    }
    expect_refused(pelk_post(quote(job(text + std::string(1, '\0') + "x"))), "job.json: line 5, column 1: a NUL byte");
    EXPECT_EQ(others(), "");
}

TEST_F(Streams, LongAndOddTextsAreCutInMessages) {
    const std::string megabyte_key(1 << 20, 'K');
    Result r = pelk_post(quote(job("{\"" + megabyte_key + "\": 1}")));
    expect_refused(r, "unknown key");
    EXPECT_LT(r.err.size(), 1000u) << r.err.substr(0, 300);
    EXPECT_NE(r.err.find("KKKK..."), std::string::npos);

    // A line break in a key stays inside the one line of the message.
    Result broken = pelk_post(quote(job("{\"a\\nb\\u001b[2J\": 1}")));
    expect_refused(broken, "a\\x0Ab\\x1B[2J");

    // Many short words make a long message too: cut in its middle.
    std::string words;
    for (int i = 0; i < 2000; ++i) words += "w ";
    Result wordy = pelk_post(quote(job("{\"" + words + "\": 1}")));
    expect_refused(wordy, " ... ");
    EXPECT_LT(wordy.err.size(), 1100u);
}

TEST_F(Streams, OutputsThatCannotBeUsed) {
    const std::string good_path = job(GOOD_JOB), good = quote(good_path);
    struct Case {
        std::string command;  // after "pelk-post --module M"
        int status;
        std::string told;
    };
    const std::vector<Case> cases = {
        {"-o '' " + good, BAD_COMMAND_LINE, "--output: an empty name"},
        {"--trace '' " + good, BAD_COMMAND_LINE, "--trace: an empty name"},
        {"--machine-dir '' " + good, BAD_COMMAND_LINE, "--machine-dir: an empty name"},
        {"-o - " + good + " >&-", NOT_WRITTEN, "cannot write standard output: Bad file descriptor"},
        {"--trace " + good + " -o - " + good, BAD_COMMAND_LINE, "(--trace) is the job " + good_path},
        {"--trace " + quote((dir / "same.nc").string()) + " -o " + quote((dir / "same.nc").string()) + " " + good,
         BAD_COMMAND_LINE, "(--trace) is the output " + (dir / "same.nc").string() + " (-o) too"},
    };
    for (const Case &c : cases) {
        Result r = shell(pelk_post_command() + " " + c.command);
        EXPECT_EQ(r.status, c.status) << c.command << "\n" << r.err;
        EXPECT_NE(r.err.find(c.told), std::string::npos) << c.command << "\n" << r.err;
    }
    EXPECT_EQ(read_file(dir / "job.json"), GOOD_JOB);
    EXPECT_EQ(others(), "");
}

TEST_F(Streams, TheTraceIsWrittenAsideAndFirst) {
    const std::string good = quote(job(GOOD_JOB));
    // "-" is standard error, never a file named "-".
    Result to_stderr = pelk_post("--trace - -o - " + good);
    EXPECT_EQ(to_stderr.status, WRITTEN) << to_stderr.err;
    EXPECT_NE(to_stderr.err.find("pp_main() -> 0\n"), std::string::npos) << to_stderr.err;
    EXPECT_FALSE(fs::exists("-"));
    EXPECT_FALSE(fs::exists(dir / "-"));

    // A trace that cannot be written fails the run before the program is put in place.
    if (fs::exists("/dev/full")) {
        Result full = pelk_post("--trace /dev/full " + good);
        EXPECT_EQ(full.status, NOT_WRITTEN);
        EXPECT_NE(full.err.find("cannot write the trace file /dev/full: No space left on device"), std::string::npos)
            << full.err;
        EXPECT_EQ(others(), "");
    }
    // A trace into a folder that does not exist: nothing is written at all.
    Result no_folder = pelk_post("--trace " + quote((dir / "no" / "t.txt").string()) + " " + good);
    EXPECT_EQ(no_folder.status, NOT_WRITTEN);
    EXPECT_EQ(others(), "");
}

TEST_F(Streams, ASignalRemovesTheHiddenTemporary) {
    // LASER.PAR as a FIFO without a writer: the run waits there, with the
    // program's temporary open beside its target, until the signal comes.
    fs::create_directories(dir / "machine");
    ASSERT_EQ(::mkfifo((dir / "machine" / "LASER.PAR").c_str(), 0600), 0);
    const std::string job_path = job(LASER_JOB);
    const std::string target = (dir / "out.nc").string();
    for (int signal_number : {SIGTERM, SIGINT, SIGHUP}) {
        SCOPED_TRACE(signal_number);
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            ::freopen("/dev/null", "w", stderr);
            ::execl(PELK_POST_PATH, PELK_POST_PATH, "--module", PELK_MODULE_PATH, "-o", target.c_str(),
                    job_path.c_str(), static_cast<char *>(nullptr));
            ::_exit(127);
        }
        bool waiting = false;
        for (int i = 0; i < 1000 && !waiting; ++i) {
            for (const auto &entry : fs::directory_iterator(dir)) {
                if (entry.path().filename().string().rfind(".out.nc.", 0) == 0) waiting = true;
            }
            if (!waiting) std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        EXPECT_TRUE(waiting) << "no temporary appeared";
        ::kill(child, signal_number);
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == signal_number) << status;
        EXPECT_EQ(others(), "");
    }
}

TEST_F(Streams, VersionAndHelp) {
    Result version = pelk_post("--version");
    EXPECT_EQ(version.status, WRITTEN);
    EXPECT_EQ(version.out.rfind("pelk-post ", 0), 0u) << version.out;
    EXPECT_EQ(version.out.find('\n'), version.out.size() - 1);
    Result help = pelk_post("--help");
    for (const char *option : {"--strict", "--stop-on-warnings", "--check", "--quiet", "--version", "PELK_MODULE",
                               "Exit status", "3  the whole NC program"}) {
        EXPECT_NE(help.out.find(option), std::string::npos) << option;
    }
}

TEST_F(Streams, TheModuleIsNamedByTheEnvironment) {
    const std::string good = quote(job(GOOD_JOB));
    const std::string tool = quote(PELK_POST_PATH);
    Result named = shell("PELK_MODULE=" + quote(PELK_MODULE_PATH) + " " + tool + " -o - " + good);
    EXPECT_EQ(named.status, WRITTEN) << named.err;
    EXPECT_EQ(named.out, good_program());
    Result wrong = shell("PELK_MODULE=" + quote((dir / "other.so").string()) + " " + tool + " -o - " + good);
    EXPECT_EQ(wrong.status, NOT_WRITTEN);
    EXPECT_NE(wrong.err.find("cannot load module " + (dir / "other.so").string()), std::string::npos) << wrong.err;
    // --module wins over the environment.
    Result option = shell("PELK_MODULE=" + quote((dir / "other.so").string()) + " " + pelk_post_command() + " -o - " + good);
    EXPECT_EQ(option.status, WRITTEN) << option.err;
}

}  // namespace
