// post_command.cpp - pelk-post JOB: the job turned into its NC program, and
// what a run does besides: the block map, the read-back check, the plot.
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <iostream>
#include <memory>
#include <optional>
#include <ostream>
#include <vector>

#include "cli/block_map.h"
#include "cli/commands.h"
#include "cli/exit_status.h"
#include "cli/file_writer.h"
#include "cli/job_input.h"
#include "cli/message_text.h"
#include "cli/module_path.h"
#include "cli/output_file.h"
#include "cli/readback.h"
#include "cli/run_files.h"
#include "cli/trace_stream.h"
#include "cli/work_check.h"
#include "host/host.h"
#include "job/job_reader.h"
#include "job/machine_file.h"
#include "nc/program_error.h"

namespace cli {
namespace {

constexpr const char *STANDARD_STREAM = "-";

// The trace: a file written aside like the program, or standard error.
struct Trace {
    OutputFile file;
    std::unique_ptr<TraceStream> stream;
    std::string name;

    bool open(const std::string &path, std::string &error) {
        if (path == STANDARD_STREAM) {
            name = "standard error";
            stream = std::make_unique<TraceStream>(stderr);
            return true;
        }
        if (!file.open(path, error)) return false;
        name = "the trace file " + path;
        stream = std::make_unique<TraceStream>(file.stream());
        return true;
    }

    // Puts the trace in place; false with the reason in error.
    bool commit(std::string &error) {
        if (stream == nullptr) return true;
        stream->flush();
        if (stream->error_number() != 0) {
            file.discard();
            error = "cannot write " + name + ": " + std::strerror(stream->error_number());
            return false;
        }
        return file.stream() == nullptr || file.commit(error);
    }
};

// Hands every flushed piece to the program's writer and to a scratch copy
// that is read back before the program is put in place.
class TeeWriter : public host::NcWriter {
public:
    TeeWriter(host::NcWriter &target, std::FILE *copy) : target_(target), copy_(copy) {}
    bool write(const char *text, std::size_t length) override {
        if (copy_ != nullptr && length > 0 && std::fwrite(text, 1, length, copy_) != length) {
            error_number_ = errno != 0 ? errno : EIO;
            return false;
        }
        return target_.write(text, length);
    }
    int error_number() const { return error_number_; }

private:
    host::NcWriter &target_;
    std::FILE *copy_;
    int error_number_ = 0;
};

// The trace's first lines: the machine file read, and what the job gave
// itself as well.
void write_machine_source(std::ostream &trace, const job::MachineSource &source) {
    if (!source.file.empty()) trace << "machine file " << printable(source.file) << '\n';
    for (const std::string &note : source.notes) trace << "machine file: " << printable(note) << '\n';
}

}  // namespace

// 1. the job, 2. where the outputs go, 3. the module, 4. the outputs opened,
// 5. the program made, 6. the verdict: trace put in place, the program read
// back (held against the job when asked, against the clamps and the sheet
// always), then the program, its map and its plot put in place.
int run_post(const Options &o, const WriterInFront &in_front) {
    // ---- 1. The job, read and checked completely before anything is written.
    job::Job job;
    try {
        job = job_of(o);
    } catch (const job::JobError &e) {
        return fail(e.what());
    }

    // ---- 2. Where the outputs go: never onto what the run reads, never onto
    // each other.
    std::string error;
    if (!o.output_dir.empty() && job_is_a_stream(o.job_path)) {
        return fail("the job " + o.job_path + " has no name to write into " + o.output_dir + "; name the program with -o");
    }
    const std::string output = o.check_only         ? ""
                               : !o.output.empty()   ? o.output
                               : o.output_dir.empty() ? beside_job(o.job_path, ".nc")
                                                     : program_of(o.job_path, o.output_dir);
    for (const std::string *side : {&o.map_path, &o.plot_path}) {
        if (*side == STANDARD_STREAM) return fail_command_line("the block map and the plot go to files: \"-\" names none");
    }
    const std::string module = find_module(o.module_path);
    const std::string clash = clash_of(inputs_of(o.job_path, job, module), {{"the output", output, "-o"},
                                                                            {"the trace file", o.trace_path, "--trace"},
                                                                            {"the block map", o.map_path, "--map"},
                                                                            {"the plot", o.plot_path, "--plot"}});
    if (!clash.empty()) return fail_command_line(clash);
    if (!o.check_only && !o.output_dir.empty() && o.output.empty() && !make_output_dir(o.output_dir, error)) {
        return fail(error);
    }

    // ---- 3. The module.
    if (!host::load_module(module, error)) return fail(error);

    // ---- 4. The outputs, opened aside; a scratch copy of the program when
    // it is to be read back.
    Trace trace;
    if (!o.trace_path.empty() && !trace.open(o.trace_path, error)) return fail(error);
    OutputFile out;
    if (!output.empty() && !out.open(output, error)) return fail(error);
    OutputFile map_out;
    if (!o.map_path.empty() && !map_out.open(o.map_path, error)) return fail(error);
    OutputFile plot_out;
    if (!o.plot_path.empty() && !plot_out.open(o.plot_path, error)) return fail(error);
    ScratchFile scratch;
    // Every program is read back: the clamps and the sheet are checked on
    // what the control will do.
    const bool read_back = true;
    if (read_back && !scratch.open(error)) return fail(error);

    // ---- 5. The program.
    FileWriter file_writer(out.stream());
    DiscardWriter discard_writer;
    host::NcWriter &own_writer = o.check_only ? static_cast<host::NcWriter &>(discard_writer) : file_writer;
    // What goes to the program's file goes to the copy read back as well.
    TeeWriter tee(own_writer, scratch.stream());
    host::NcWriter &writer = in_front ? in_front(tee) : tee;
    BlockMap map(job, map_out.stream(), o.verify);
    if (trace.stream != nullptr) write_machine_source(*trace.stream, job.machine_source);
    host::set_trace(trace.stream.get());
    host::set_stop_on_warnings(o.strict);
    host::set_message_stream(o.quiet ? nullptr : &std::cerr);
    host::set_line_map(!o.map_path.empty() || o.verify ? &map : nullptr);
    const int result = host::run_program(job, writer);
    host::set_line_map(nullptr);
    host::set_trace(nullptr);
    host::set_writer(nullptr);
    host::show_repeated_messages();

    // ---- 6. The verdict.  The trace goes first: it shows what happened also
    // when the program is not written, and a trace that cannot be written
    // fails the run before the program is put in place.
    const std::string what = o.check_only ? std::string("the job") : out.name();
    auto give_up = [&](const std::string &reason) {
        out.discard();
        map_out.discard();
        plot_out.discard();
        return fail(reason);
    };
    if (!trace.commit(error)) return give_up(error + "; " + what + " was not written");
    if (o.strict && host::message_total() > 0) {
        return give_up("a warning with --strict: " + (o.check_only ? "the job does not pass" : out.name() + " was not written"));
    }
    if (file_writer.error_number() != 0) {
        return give_up("cannot write " + out.name() + ": " + std::strerror(file_writer.error_number()));
    }
    if (tee.error_number() != 0) {
        return give_up(std::string("cannot keep the program to read it back: ") + std::strerror(tee.error_number()));
    }
    if (result != 0) {
        return give_up("the NC program was stopped before its end; " +
                       (o.check_only ? std::string("the job does not pass") : out.name() + " was not written"));
    }
    if (map.error_number() != 0) return give_up("cannot write the block map " + o.map_path + ": " + std::strerror(map.error_number()));
    const std::string program_name = o.check_only ? std::string("the program") : out.name();
    long long verify_warnings = 0;
    long long work_warnings = 0;  // strokes and cuts into a clamp's zone or off the sheet
    try {
        const ControlFor control = read_back ? ControlFor(job) : ControlFor();
        const auto step_name = [&map](long long line) { return map.name(line); };
        // With the comparison, the clamps and the sheet are checked in the
        // same reading of the program.
        std::optional<WorkCheck> work;
        if (o.verify) {
            verify::ComparisonOptions options;
            options.tolerance = verify::program_tolerance(job.machine.inch, o.allowance);
            options.messages = o.messages;
            options.line_name = step_name;
            ProgramChecks checks = check_program_and_work(job, control, scratch.stream(), program_name, options, step_name);
            const verify::ComparisonResult &r = checks.comparison;
            work = std::move(checks.work);
            if (r.differences > 0) {
                for (const std::string &m : r.messages) std::fprintf(stderr, "pelk-post: %s: %s\n", program_name.c_str(), printable(m).c_str());
                return give_up("read back, the program does not do what the job says (" + std::to_string(r.differences) +
                               (r.differences == 1 ? " difference" : " differences") + "): a fault of the post, " +
                               (o.check_only ? std::string("the job does not pass") : out.name() + " was not written") +
                               "; --no-verify writes the program without comparing it with the job");
            }
            // What the check warns of that the post did not (it warns of the
            // same things in the same words) is shown as well.
            for (const std::string &w : r.warnings) {
                if (host::message_count(w) > 0) continue;
                ++verify_warnings;
                if (!o.quiet) std::fprintf(stderr, "pelk-post: warning: %s\n", printable(w).c_str());
            }
        }
        if (read_back) {
            if (!work) work = check_work(job, control, scratch.stream(), program_name, step_name);
            if (!o.quiet) {
                for (const std::string &w : work->warnings) std::fprintf(stderr, "pelk-post: warning: %s\n", printable(w).c_str());
            }
            work_warnings = work->findings;
        }
        if (o.strict && work_warnings > 0) {
            return give_up("a warning with --strict: " + (o.check_only ? std::string("the job does not pass") : out.name() + " was not written"));
        }
        if (!o.plot_path.empty()) {
            draw_program(job, control, scratch.stream(), program_name, plot_out.stream(),
                         std::filesystem::path(o.job_path).filename().string() + " - " + job.sheet.nest_name);
        }
    } catch (const nc::ProgramError &e) {
        return give_up(program_name + ": " + e.what() + "; read back, the program is not one the control can run");
    } catch (const std::runtime_error &e) {
        return give_up(e.what());
    }
    if (!o.check_only && !out.commit(error)) return give_up(error);
    if (!o.map_path.empty() && !map_out.commit(error)) return give_up(error);
    if (!o.plot_path.empty() && !plot_out.commit(error)) return give_up(error);
    return host::message_total() > 0 || verify_warnings > 0 || work_warnings > 0 ? written_with_warnings : written;
}

job::Job job_of(const Options &o) {
    // The machine file of the command line is read first.
    std::optional<job::MachineFile> machine_file;
    if (!o.machine_file.empty()) machine_file.emplace(job::read_machine_file(o.machine_file));
    job::Job job = read_job(o.job_path, machine_file ? &*machine_file : nullptr);
    if (!o.machine_dir.empty()) job.machine.machine_dir = job::resolve_machine_dir(o.machine_dir, "");
    return job;
}

std::string beside_job(const std::string &job_path, const char *extension) {
    if (job_is_a_stream(job_path)) return STANDARD_STREAM;
    std::filesystem::path p(job_path);
    p.replace_extension(extension);
    return p.string();
}

}  // namespace cli
