// batch.cpp - many jobs in one call.  Each job runs in a process of its own
// (pelk-post itself, with the job's output named), so that no job's module
// state or failure can change another's program.
#include "cli/batch.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <map>
#include <sstream>
#include <string_view>

#include "cli/child_process.h"
#include "cli/exit_status.h"
#include "cli/job_input.h"
#include "cli/message_text.h"
#include "cli/run_files.h"

namespace cli {

namespace {

constexpr std::string_view TOOL_PREFIX = "pelk-post: ";

// What became of one job: written (with warnings or without), refused (its
// job, its machine file or its command line could not be taken), or failed
// (the job was taken, but its program could not be written).
enum class Outcome { written, with_warnings, refused, failed };

// A run that refuses its job says so first, naming the job or its machine
// file and the place in it ("pelk-post: error: job.json: /work/3: ...");
// a wrong command line ends with status 2.
Outcome outcome_of(const Batch &batch, const std::string &job, int status, const std::string &messages) {
    if (status == written) return Outcome::written;
    if (status == written_with_warnings) return Outcome::with_warnings;
    if (status == bad_command_line) return Outcome::refused;
    const std::string error = std::string(TOOL_PREFIX) + "error: ";
    for (const std::string &input : {job, batch.machine_file}) {
        if (!input.empty() && messages.rfind(error + input + ": ", 0) == 0) return Outcome::refused;
    }
    if (messages.rfind(error + "cannot open the machine file ", 0) == 0) return Outcome::refused;
    return Outcome::failed;
}

// The same file under two names compares equal, whether it exists or not.
std::string file_key(const std::string &path) {
    std::error_code ec;
    const std::filesystem::path canonical = std::filesystem::weakly_canonical(path, ec);
    return ec ? path : canonical.string();
}

// False, with the reason, when a job cannot be one of a batch, a program
// would be written over a job of the batch (each run holds its program apart
// from its own job, machine file and LASER.PAR), or two jobs would write one
// program.
bool plan_outputs(const Batch &batch, std::vector<std::string> &outputs, std::string &error) {
    for (const std::string &job : batch.jobs) {
        if (job_is_a_stream(job)) {
            error = "the job " + job + " has no file of its own: a job from standard input or a pipe is posted alone";
            return false;
        }
        outputs.push_back(program_of(job, batch.output_dir));
    }
    if (batch.check_only) return true;
    for (std::size_t i = 0; i < outputs.size(); ++i) {
        for (const std::string &job : batch.jobs) {
            if (same_file(job, outputs[i])) {
                error = "the program " + outputs[i] + " of the job " + batch.jobs[i] + " is the job " + job +
                        " of this batch; name another folder with --output-dir";
                return false;
            }
        }
    }
    std::map<std::string, std::size_t> taken;
    for (std::size_t i = 0; i < outputs.size(); ++i) {
        const auto [place, fresh] = taken.emplace(file_key(outputs[i]), i);
        if (!fresh) {
            error = "the jobs " + batch.jobs[place->second] + " and " + batch.jobs[i] + " would both write " + outputs[i];
            return false;
        }
    }
    return true;
}

// One line for a job that did not run clean: its first message, the tool's
// name and a repeat of the job's own name taken off, and how many followed.
std::string job_line(const std::string &job, int status, const std::string &messages) {
    std::istringstream lines(messages);
    std::string first, line;
    std::size_t more = 0;
    while (std::getline(lines, line)) {
        if (line.empty()) continue;
        if (first.empty()) first = line;
        else ++more;
    }
    if (first.rfind(TOOL_PREFIX, 0) == 0) first.erase(0, TOOL_PREFIX.size());
    for (const char *kind : {"error: ", "warning: "}) {
        const std::string repeated = std::string(kind) + job + ": ";
        if (first.rfind(repeated, 0) == 0) first = kind + first.substr(repeated.size());
    }
    if (first.empty()) first = "error: the run ended with status " + std::to_string(status) + " and no message";
    std::string text = std::string(TOOL_PREFIX) + job + ": " + printable(first);
    if (more > 0) text += " (and " + std::to_string(more) + " more)";
    return text;
}

// The progress line on a terminal: written over itself, taken away before
// any other line.
class Progress {
public:
    Progress(bool shown, std::size_t total) : shown_(shown), total_(total) {}
    void show(std::size_t done) {
        if (!shown_) return;
        std::fprintf(stderr, "\r%zu/%zu jobs", done, total_);
        std::fflush(stderr);
    }
    void clear() {
        if (shown_) std::fputs("\r\033[K", stderr);
    }

private:
    bool shown_;
    std::size_t total_;
};

}  // namespace

int run_batch(const Batch &batch) {
    // ---- 1. Every job's program, none over another's -----------------------
    std::vector<std::string> outputs;
    std::string error;
    if (!plan_outputs(batch, outputs, error)) return fail_command_line(error);
    if (!batch.check_only && !batch.output_dir.empty() && !make_output_dir(batch.output_dir, error)) return fail(error);
    const std::string executable = own_executable();
    if (executable.empty()) return fail("cannot tell where pelk-post itself is, to run the jobs");

    // ---- 2. The runs, at most `parallel` at once ------------------------------
    const std::size_t slots = std::max<std::size_t>(1, std::min<std::size_t>(batch.parallel, max_children()));
    std::vector<ChildProcess> running;
    std::vector<std::size_t> running_job;  // the job of each running child
    std::size_t next = 0, done = 0;
    std::size_t counts[4] = {};
    Progress progress(standard_error_is_a_terminal(), batch.jobs.size());
    progress.show(0);
    const auto finish = [&](std::size_t job, int status, const std::string &messages) {
        const Outcome outcome = outcome_of(batch, batch.jobs[job], status, messages);
        ++counts[static_cast<int>(outcome)];
        ++done;
        if (outcome == Outcome::refused || outcome == Outcome::failed ||
            (outcome == Outcome::with_warnings && !batch.quiet)) {
            progress.clear();
            std::fprintf(stderr, "%s\n", job_line(batch.jobs[job], status, messages).c_str());
        }
        progress.show(done);
    };
    while (done < batch.jobs.size()) {
        while (running.size() < slots && next < batch.jobs.size()) {
            std::vector<std::string> args = {executable};
            args.insert(args.end(), batch.run_options.begin(), batch.run_options.end());
            if (!batch.check_only) args.insert(args.end(), {"-o", outputs[next]});
            args.insert(args.end(), {"--", batch.jobs[next]});
            ChildProcess child;
            if (start_child(args, child, error)) {
                running.push_back(child);
                running_job.push_back(next);
            } else {
                finish(next, not_written, "pelk-post: error: " + error);
            }
            ++next;
        }
        if (running.empty()) continue;
        int status = 0;
        std::string messages;
        const std::size_t which = wait_for_any(running, status, messages);
        const std::size_t job = running_job[which];
        running.erase(running.begin() + static_cast<std::ptrdiff_t>(which));
        running_job.erase(running_job.begin() + static_cast<std::ptrdiff_t>(which));
        finish(job, status, messages);
    }
    progress.clear();

    // ---- 3. The summary and the worst status ---------------------------------
    // "3 jobs: 2 written (1 with warnings), 1 refused, 0 failed"
    const std::size_t warned = counts[static_cast<int>(Outcome::with_warnings)];
    const std::size_t good = counts[static_cast<int>(Outcome::written)] + warned;
    const std::size_t refused = counts[static_cast<int>(Outcome::refused)];
    const std::size_t failed = counts[static_cast<int>(Outcome::failed)];
    const std::string with_warnings = warned > 0 ? " (" + std::to_string(warned) + " with warnings)" : "";
    std::fprintf(stderr, "%zu jobs: %zu %s%s, %zu refused, %zu failed\n", batch.jobs.size(), good,
                 batch.check_only ? "passed" : "written", with_warnings.c_str(), refused, failed);
    if (refused + failed > 0) return not_written;
    return warned > 0 ? written_with_warnings : written;
}

}  // namespace cli
