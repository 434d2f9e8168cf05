// readback_commands.cpp - pelk-post verify, plot and stats: a program read
// back through the model of the control, held against its job, drawn or
// counted.  plot and stats post the job first when no program is named,
// into a scratch file, never holding the program's text; they also read a
// program alone (cli/program_alone.h).
#include <cerrno>
#include <cstring>
#include <filesystem>

#include "cli/block_map.h"
#include "cli/commands.h"
#include "cli/exit_status.h"
#include "cli/message_text.h"
#include "cli/module_path.h"
#include "cli/output_file.h"
#include "cli/program_input.h"
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
    if (!program.open(o, o.program_path, job)) return program.status;
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
    const std::string output = o.output.empty() ? beside_job(o.job_path, ".svg") : o.output;
    // The plot reads the program twice: to measure it, then to draw it.
    if (o.program_path == STANDARD_STREAM) return fail("the plot reads its program twice: name a file, not standard input");
    ReadBack in;
    if (!in.open(o)) return in.status;
    std::vector<RunFile> inputs = inputs_of(o.job_path, in.job, find_module(o.module_path));
    inputs.push_back({"the program", o.program_path, ""});
    const std::string clash = clash_of(inputs, {{"the plot", output, "-o"}});
    if (!clash.empty()) return fail_command_line(clash);
    OutputFile svg;
    std::string error;
    if (!svg.open(output, error)) return fail(error);
    const std::string title = subject_title(o, in);
    try {
        draw_program(in.job, *in.control, in.program.file, in.program.name, svg.stream(), title);
    } catch (const nc::ProgramError &e) {
        svg.discard();
        return fail(in.program.name + ": " + e.what() + "; the plot was not written");
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
    return in.program.status;
}

int run_stats(const Options &o) {
    ReadBack in;
    if (!in.open(o)) return in.status;
    stats::Statistics s;
    try {
        s = count_program(in.job, *in.control, in.program.file, in.program.name);
    } catch (const nc::ProgramError &e) {
        return fail(in.program.name + ": " + e.what());
    } catch (const std::runtime_error &e) {
        return fail(e.what());
    }
    const stats::MachineTimes times = times_of(in.job);
    const std::string text = o.json ? stats::json(s, times) : stats::table(s, times);
    if (std::fwrite(text.data(), 1, text.size(), stdout) != text.size() || std::fflush(stdout) != 0) {
        return fail(std::string("cannot write the statistics: ") + std::strerror(errno));
    }
    return in.program.status;
}

std::string subject_title(const Options &o, const ReadBack &in) {
    const std::string &file = in.program_path.empty() ? o.job_path : in.program_path;
    return std::filesystem::path(file).filename().string() +
           (in.job.sheet.nest_name.empty() ? "" : " - " + in.job.sheet.nest_name);
}

}  // namespace cli
