// readback_commands.cpp - pelk-post verify, plot and stats: a program read
// back through the model of the control, held against its job, drawn or
// counted.  plot and stats post the job first when no program is named,
// into a scratch file, never holding the program's text.
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <iostream>

#include "cli/block_map.h"
#include "cli/commands.h"
#include "cli/exit_status.h"
#include "cli/file_writer.h"
#include "cli/message_text.h"
#include "cli/module_path.h"
#include "cli/output_file.h"
#include "cli/readback.h"
#include "cli/run_files.h"
#include "host/host.h"
#include "job/job_reader.h"
#include "nc/program_error.h"
#include "stats/report.h"
#include "verify/event_text.h"

namespace cli {
namespace {

constexpr const char *STANDARD_STREAM = "-";

// A program to read: the file named, or the job's program posted into a
// scratch file.  status: written, written_with_warnings, or what fail()
// answered.
struct ProgramToRead {
    std::FILE *file = nullptr;
    std::string name;
    int status = written;

    ~ProgramToRead() {
        if (own_ != nullptr) std::fclose(own_);
    }
    bool open(const Options &o, const job::Job &job) {
        if (!o.program_path.empty()) {
            if (o.program_path == STANDARD_STREAM && o.job_path == STANDARD_STREAM) {
                status = fail("the job and the program cannot both come from standard input");
                return false;
            }
            name = o.program_path == STANDARD_STREAM ? "standard input" : o.program_path;
            own_ = o.program_path == STANDARD_STREAM ? nullptr : std::fopen(o.program_path.c_str(), "rb");
            file = o.program_path == STANDARD_STREAM ? stdin : own_;
            if (file == nullptr) {
                status = fail("cannot open the program " + o.program_path + ": " + std::strerror(errno));
                return false;
            }
            return true;
        }
        // The job's own program, posted as pelk-post JOB would write it.
        std::string error;
        if (!host::load_module(find_module(o.module_path), error) || !scratch_.open(error)) {
            status = fail(error);
            return false;
        }
        file = scratch_.stream();
        name = "the program of " + (o.job_path == STANDARD_STREAM ? std::string("standard input") : o.job_path);
        FileWriter writer(file);
        host::set_message_stream(o.quiet ? nullptr : &std::cerr);
        const int result = host::run_program(job, writer);
        host::set_writer(nullptr);
        host::show_repeated_messages();
        if (writer.error_number() != 0) {
            status = fail(std::string("cannot keep the program to read it back: ") + std::strerror(writer.error_number()));
            return false;
        }
        if (result != 0) {
            status = fail("the NC program was stopped before its end");
            return false;
        }
        status = host::message_total() > 0 ? written_with_warnings : written;
        return true;
    }

private:
    std::FILE *own_ = nullptr;
    ScratchFile scratch_;
};

std::string plural(long long n, const char *one, const char *many) { return std::to_string(n) + " " + (n == 1 ? one : many); }

}  // namespace

namespace {

// Whether a file begins as an NC program of this control does ("% " or
// "+ "), for telling a program named where the job belongs.
bool looks_like_a_program(const std::string &path) {
    if (path.empty() || path == STANDARD_STREAM) return false;
    std::FILE *f = std::fopen(path.c_str(), "rb");
    if (f == nullptr) return false;
    char start[2] = {};
    const std::size_t n = std::fread(start, 1, sizeof start, f);
    std::fclose(f);
    return n == 2 && (start[0] == '%' || start[0] == '+') && start[1] == ' ';
}

}  // namespace

int run_verify(const Options &o) {
    job::Job job;
    try {
        job = job_of(o);
    } catch (const job::JobError &e) {
        if (looks_like_a_program(o.job_path) && !looks_like_a_program(o.program_path)) {
            return fail_command_line("verify takes the job first, then the program: " + o.job_path +
                               " is an NC program; pelk-post verify " + o.program_path + " " + o.job_path);
        }
        return fail(e.what());
    }
    MapFile map;
    std::string error;
    if (!o.map_path.empty() && !map.read(o.map_path, error)) return fail(error);
    ProgramToRead program;
    if (!program.open(o, job)) return program.status;
    verify::ComparisonOptions options;
    options.tolerance = verify::program_tolerance(job.machine.inch, o.allowance);
    options.messages = o.quiet ? 0 : o.messages;
    if (!o.map_path.empty()) options.line_name = [&map](long long line) { return map.name(line); };
    verify::ComparisonResult r;
    try {
        const ControlFor control(job);
        r = check_program(job, control, program.file, program.name, options);
    } catch (const nc::ProgramError &e) {
        return fail(program.name + ": " + e.what() + "; the control cannot run this program as it stands");
    } catch (const std::runtime_error &e) {
        return fail(e.what());
    }
    // A map of another program (an older one of the same job) would name
    // the wrong steps.
    if (!o.map_path.empty() && map.lines() != r.lines) {
        return fail("the block map " + o.map_path + " names " + plural(map.lines(), "line", "lines") + ", " +
                    program.name + " has " + plural(r.lines, "line", "lines") +
                    ": it is not this program's map (write it anew with pelk-post --map)");
    }
    const std::string job_name = o.job_path == STANDARD_STREAM ? "the job" : o.job_path;
    for (const std::string &m : r.messages) std::printf("%s: %s\n", program.name.c_str(), printable(m).c_str());
    if (!o.quiet) {
        for (const std::string &w : r.warnings) std::fprintf(stderr, "pelk-post: warning: %s\n", printable(w).c_str());
    }
    if (r.differences == 0) {
        if (!o.quiet) {
            std::printf("%s does what %s says: %s compared, places within %s mm%s\n", program.name.c_str(),
                        job_name.c_str(), plural(r.events, "event", "events").c_str(),
                        verify::length_text(options.tolerance.position, false).c_str(),
                        r.warnings.empty() ? "" : ", with the warnings above");
        }
        return r.warnings.empty() ? written : written_with_warnings;
    }
    std::string shown;
    if (r.messages.size() < static_cast<std::size_t>(r.differences) && !r.messages.empty()) {
        shown = r.messages.size() == 1 ? " (the first above)" : " (the first " + std::to_string(r.messages.size()) + " above)";
    }
    std::printf("%s: %s from %s%s\n", program.name.c_str(), plural(r.differences, "difference", "differences").c_str(),
                job_name.c_str(), shown.c_str());
    return 1;
}

int run_plot(const Options &o) {
    job::Job job;
    try {
        job = job_of(o);
    } catch (const job::JobError &e) {
        return fail(e.what());
    }
    const std::string output = o.output.empty() ? beside_job(o.job_path, ".svg") : o.output;
    // The plot reads the program twice: to measure it, then to draw it.
    if (o.program_path == STANDARD_STREAM) return fail("the plot reads its program twice: name a file, not standard input");
    std::vector<RunFile> inputs = inputs_of(o.job_path, job, find_module(o.module_path));
    inputs.push_back({"the program", o.program_path, ""});
    const std::string clash = clash_of(inputs, {{"the plot", output, "-o"}});
    if (!clash.empty()) return fail_command_line(clash);
    ProgramToRead program;
    if (!program.open(o, job)) return program.status;
    OutputFile svg;
    std::string error;
    if (!svg.open(output, error)) return fail(error);
    const std::string title =
        (o.program_path.empty() ? std::filesystem::path(o.job_path).filename().string()
                                : std::filesystem::path(o.program_path).filename().string()) +
        (job.sheet.nest_name.empty() ? "" : " - " + job.sheet.nest_name);
    try {
        const ControlFor control(job);
        draw_program(job, control, program.file, program.name, svg.stream(), title);
    } catch (const nc::ProgramError &e) {
        svg.discard();
        return fail(program.name + ": " + e.what() + "; the plot was not written");
    } catch (const std::runtime_error &e) {
        svg.discard();
        return fail(e.what());
    }
    if (std::ferror(svg.stream())) {
        const int e = errno;
        svg.discard();
        return fail("cannot write the plot " + output + ": " + std::strerror(e != 0 ? e : EIO));
    }
    if (!svg.commit(error)) return fail(error);
    return program.status;
}

int run_stats(const Options &o) {
    job::Job job;
    try {
        job = job_of(o);
    } catch (const job::JobError &e) {
        return fail(e.what());
    }
    ProgramToRead program;
    if (!program.open(o, job)) return program.status;
    stats::Statistics s;
    try {
        const ControlFor control(job);
        s = count_program(job, control, program.file, program.name);
    } catch (const nc::ProgramError &e) {
        return fail(program.name + ": " + e.what());
    } catch (const std::runtime_error &e) {
        return fail(e.what());
    }
    const stats::Speeds speeds = speeds_of(job);
    const std::string text = o.json ? stats::json(s, speeds) : stats::table(s, speeds);
    if (std::fwrite(text.data(), 1, text.size(), stdout) != text.size() || std::fflush(stdout) != 0) {
        return fail(std::string("cannot write the statistics: ") + std::strerror(errno));
    }
    return program.status;
}

}  // namespace cli
