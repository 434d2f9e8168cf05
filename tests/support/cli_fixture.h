// cli_fixture.h - running pelk-post as a user does, in a folder of its own
// per test (and per process, as several checkouts may test at once).
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

struct Result {
    int status = -1;  // exit status, -1 when the program did not exit normally
    std::string out;
    std::string err;
};

std::string read_file(const std::filesystem::path &path);
void write_file(const std::filesystem::path &path, const std::string &text);

// text as one word of a shell command.
std::string quote(const std::string &text);

// "pelk-post --module <the built module>", quoted for the shell.
std::string pelk_post_command();

// A punching job that gives a program without warnings.
extern const char *const GOOD_JOB;

// A laser job whose LASER.PAR (in "machine" beside the job) is the test's to
// make, or to leave out.
extern const char *const LASER_JOB;

class PelkPost : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Runs pelk-post with args (already quoted where needed; redirections
    // of standard input may follow).
    Result pelk_post(const std::string &args);

    // Runs a shell command line, standard output and error captured.
    Result shell(const std::string &command);

    // Writes a job file into the test folder and answers its path.
    std::string job(const std::string &text, const std::string &name = "job.json");

    // The files in the test folder, apart from the job files and folders.
    std::string others() const;

    std::filesystem::path dir;
};

// A refused job: exit 1, one "pelk-post: error:" line naming the place, and
// nothing on standard output.
void expect_refused(const Result &r, const std::string &place);
