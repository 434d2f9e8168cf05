// Every failure path of every golden job: pelk-post's own run (cli::run_post,
// in this process) with a writer in front of the tool's that refuses from
// the N-th flush on, for every N up to the run's last flush.  The pieces that
// went out are exactly the first N-1 pieces of the full run, the run ends
// with exit status 1 and one line of error, and no file is left behind.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <utility>
#include <vector>

#include "cli/exit_status.h"
#include "cli/commands.h"
#include "host/host.h"

namespace {

namespace fs = std::filesystem;

std::vector<std::string> golden_cases() {
    std::vector<std::string> cases;
    for (const auto &entry : fs::directory_iterator(PELK_GOLDEN_DIR)) {
        if (entry.is_directory()) cases.push_back(entry.path().filename().string());
    }
    std::sort(cases.begin(), cases.end());
    return cases;
}

std::string file_text(const fs::path &path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Hands every piece on to the tool's own writer, keeping a copy, up to the
// flush it refuses from (0: none).
class RefusingWriter : public host::NcWriter {
public:
    RefusingWriter(host::NcWriter &own, int refuse_from) : own_(own), refuse_from_(refuse_from) {}
    bool write(const char *text, std::size_t length) override {
        ++flushes_;
        if (refuse_from_ > 0 && flushes_ >= refuse_from_) return false;
        pieces_.emplace_back(text, length);
        return own_.write(text, length);
    }
    const std::vector<std::string> &pieces() const { return pieces_; }
    int flushes() const { return flushes_; }

private:
    host::NcWriter &own_;
    int refuse_from_;
    int flushes_ = 0;
    std::vector<std::string> pieces_;
};

struct ToolRun {
    int status = 0;
    std::vector<std::string> pieces;
    int flushes = 0;
    std::vector<std::string> error_lines;  // standard error, line by line
};

// Hands every piece on with a text in it replaced, as a module that wrote a
// wrong word would.
class AlteringWriter : public host::NcWriter {
public:
    AlteringWriter(host::NcWriter &own, std::string from, std::string to)
        : own_(own), from_(std::move(from)), to_(std::move(to)) {}
    bool write(const char *text, std::size_t length) override {
        std::string piece(text, length);
        if (const std::size_t at = piece.find(from_); at != std::string::npos) piece.replace(at, from_.size(), to_);
        return own_.write(piece.data(), piece.size());
    }

private:
    host::NcWriter &own_;
    std::string from_, to_;
};

// One run of the tool on the case's job into folder/out.nc, its writer
// refusing from refuse_from on (or the writer in_front given); standard
// error caught in a file.
ToolRun run_tool(const std::string &case_name, const fs::path &folder, int refuse_from,
                 cli::WriterInFront in_front = {}, bool verify = true) {
    cli::Options options;
    options.job_path = (fs::path(PELK_GOLDEN_DIR) / case_name / "job.json").string();
    options.output = (folder / "out.nc").string();
    options.module_path = PELK_MODULE_PATH;
    options.verify = verify;
    std::unique_ptr<RefusingWriter> writer;
    if (!in_front) {
        in_front = [&](host::NcWriter &own) -> host::NcWriter & {
            writer = std::make_unique<RefusingWriter>(own, refuse_from);
            return *writer;
        };
    }

    // A run of the tool is the process's only one: the host starts afresh.
    host::reset_host();
    const fs::path errors = folder.parent_path() / "stderr.txt";
    std::fflush(stderr);
    const int saved = dup(2);
    std::FILE *caught = std::fopen(errors.c_str(), "w");
    dup2(fileno(caught), 2);
    ToolRun run;
    run.status = cli::run_post(options, in_front);
    std::fflush(stderr);
    dup2(saved, 2);
    close(saved);
    std::fclose(caught);
    host::reset_host();

    if (writer) {
        run.pieces = writer->pieces();
        run.flushes = writer->flushes();
    }
    std::ifstream lines(errors);
    for (std::string line; std::getline(lines, line);) run.error_lines.push_back(line);
    return run;
}

class FailureSweep : public ::testing::TestWithParam<std::string> {};

TEST_P(FailureSweep, EveryRefusedFlushStopsTheRunCleanly) {
    const std::string name = GetParam();
    const fs::path base = fs::temp_directory_path() / ("pelk_sweep_" + std::to_string(getpid()) + "_" + name);
    const fs::path folder = base / "out";
    fs::remove_all(base);
    fs::create_directories(folder);

    // The full run: the golden program, in the pieces the writer got.
    const ToolRun full = run_tool(name, folder, 0);
    const bool warns = fs::exists(fs::path(PELK_GOLDEN_DIR) / name / "expected.warnings");
    ASSERT_EQ(full.status, warns ? cli::written_with_warnings : cli::written);
    std::string joined;
    for (const std::string &piece : full.pieces) joined += piece;
    ASSERT_EQ(joined, file_text(fs::path(PELK_GOLDEN_DIR) / name / "expected.nc"));
    ASSERT_EQ(file_text(folder / "out.nc"), joined);
    fs::remove(folder / "out.nc");
    ASSERT_GT(full.flushes, 0);
    RecordProperty("flushes", full.flushes);

    for (int n = 1; n <= full.flushes; ++n) {
        SCOPED_TRACE("refused from flush " + std::to_string(n) + " of " + std::to_string(full.flushes));
        const ToolRun run = run_tool(name, folder, n);
        EXPECT_EQ(run.status, cli::not_written);
        ASSERT_EQ(run.pieces.size(), static_cast<std::size_t>(n - 1));
        EXPECT_TRUE(std::equal(run.pieces.begin(), run.pieces.end(), full.pieces.begin()));
        // One line of error; a case that warns may show its warnings before it.
        int errors = 0;
        for (const std::string &line : run.error_lines) {
            if (line.rfind("pelk-post: error: ", 0) == 0) ++errors;
            else EXPECT_TRUE(warns && line.rfind("pelk-post: warning: ", 0) == 0) << line;
        }
        EXPECT_EQ(errors, 1);
        EXPECT_TRUE(fs::is_empty(folder)) << "a file is left in " << folder;
        if (::testing::Test::HasFailure()) break;
    }
    fs::remove_all(base);
}

// Every program is read back before it is put in place: one that does not
// do what the job says (here a stroke's word written wrong) is a fault of
// the post, never a program with exit status 0.
TEST(ReadBack, AProgramThatDiffersFromItsJobIsNeverWritten) {
    const fs::path base = fs::temp_directory_path() / ("pelk_read_back_" + std::to_string(getpid()));
    const fs::path folder = base / "out";
    fs::remove_all(base);
    fs::create_directories(folder);
    std::unique_ptr<AlteringWriter> altering;
    const cli::WriterInFront wrong_word = [&](host::NcWriter &own) -> host::NcWriter & {
        altering = std::make_unique<AlteringWriter>(own, "X150\r\n", "X151\r\n");
        return *altering;
    };
    const ToolRun refused = run_tool("punch_7000", folder, 0, wrong_word);
    EXPECT_EQ(refused.status, cli::not_written);
    EXPECT_TRUE(fs::is_empty(folder));
    std::string errors;
    for (const std::string &line : refused.error_lines) errors += line + "\n";
    EXPECT_NE(errors.find("line 7 (written for work[1] (hit)): stroke at X151 Y100 T1; the job's work[1] (hit): stroke at X150"),
              std::string::npos)
        << errors;
    EXPECT_NE(errors.find("a fault of the post"), std::string::npos) << errors;
    EXPECT_NE(errors.find("--no-verify writes the program without comparing it with the job"), std::string::npos) << errors;
    // Told not to read it back, the tool writes what the module wrote.
    const ToolRun unchecked = run_tool("punch_7000", folder, 0, wrong_word, false);
    EXPECT_EQ(unchecked.status, cli::written);
    EXPECT_NE(file_text(folder / "out.nc").find("X151\r\n"), std::string::npos);
    fs::remove_all(base);
}

INSTANTIATE_TEST_SUITE_P(GoldenJobs, FailureSweep, ::testing::ValuesIn(golden_cases()),
                         [](const ::testing::TestParamInfo<std::string> &info) { return info.param; });

}  // namespace
