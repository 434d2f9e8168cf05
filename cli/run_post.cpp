// run_post.cpp - one run of pelk-post: the job read and checked, the module
// run on it, and the NC program put in place whole or not at all.
#include "cli/run_post.h"

#include <cstring>
#include <exception>
#include <filesystem>
#include <iostream>
#include <memory>
#include <string>

#include "cli/exit_status.h"
#include "cli/file_writer.h"
#include "cli/job_input.h"
#include "cli/message_text.h"
#include "cli/module_path.h"
#include "cli/output_file.h"
#include "cli/trace_stream.h"
#include "host/host.h"
#include "job/job_reader.h"

namespace cli {
namespace {

using cli::fail;

constexpr const char *STANDARD_STREAM = "-";

// The default output: the job file's path with the extension ".nc"; standard
// output for a job that has no file of its own.
std::string default_output(const std::string &job_path) {
    if (cli::job_is_a_stream(job_path)) return STANDARD_STREAM;
    std::filesystem::path p(job_path);
    p.replace_extension(".nc");
    return p.string();
}

// True when a and b name the same file, also when one does not exist yet.
bool same_file(const std::string &a, const std::string &b) {
    std::error_code ec;
    if (std::filesystem::exists(a, ec) && std::filesystem::exists(b, ec)) {
        return std::filesystem::equivalent(a, b, ec) && !ec;
    }
    const auto weak_a = std::filesystem::weakly_canonical(a, ec);
    if (ec) return false;
    const auto weak_b = std::filesystem::weakly_canonical(b, ec);
    return !ec && weak_a == weak_b;
}

// The trace: a file written aside like the program, or standard error.
struct Trace {
    cli::OutputFile file;
    std::unique_ptr<cli::TraceStream> stream;
    std::string name;

    bool open(const std::string &path, std::string &error) {
        if (path == STANDARD_STREAM) {
            name = "standard error";
            stream = std::make_unique<cli::TraceStream>(stderr);
            return true;
        }
        if (!file.open(path, error)) return false;
        name = "the trace file " + path;
        stream = std::make_unique<cli::TraceStream>(file.stream());
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

}  // namespace

// 1. the job, 2. where the outputs go, 3. the module, 4. the outputs opened,
// 5. the program made, 6. the verdict: trace and program put in place.
int run_post(const Options &o, const WriterInFront &in_front) {
    // ---- 1. The job, read and checked completely before anything is written.
    job::Job job;
    try {
        job = cli::read_job(o.job_path);
        if (!o.machine_dir.empty()) job.machine.machine_dir = job::resolve_machine_dir(o.machine_dir, "");
    } catch (const job::JobError &e) {
        return fail(e.what());
    }

    // ---- 2. Where the outputs go: never onto the job, never onto each other.
    const std::string output = o.check_only ? "" : o.output.empty() ? default_output(o.job_path) : o.output;
    const bool job_is_file = o.job_path != STANDARD_STREAM;
    if (!output.empty() && output != STANDARD_STREAM && job_is_file && same_file(o.job_path, output)) {
        return fail("the output " + output + " is the job file itself; name another with -o");
    }
    const bool trace_to_file = !o.trace_path.empty() && o.trace_path != STANDARD_STREAM;
    if (trace_to_file && job_is_file && same_file(o.job_path, o.trace_path)) {
        return fail("the trace file " + o.trace_path + " is the job file itself; name another with --trace");
    }
    if (trace_to_file && !output.empty() && output != STANDARD_STREAM && same_file(output, o.trace_path)) {
        return fail("the trace file " + o.trace_path + " is the output too; name another with --trace or -o");
    }

    // ---- 3. The module.
    std::string error;
    if (!host::load_module(cli::find_module(o.module_path), error)) return fail(error);

    // ---- 4. The outputs, opened aside.
    Trace trace;
    if (!o.trace_path.empty() && !trace.open(o.trace_path, error)) return fail(error);
    cli::OutputFile out;
    if (!output.empty() && !out.open(output, error)) return fail(error);

    // ---- 5. The program.
    cli::FileWriter file_writer(out.stream());
    cli::DiscardWriter discard_writer;
    host::NcWriter &own_writer = o.check_only ? static_cast<host::NcWriter &>(discard_writer) : file_writer;
    host::NcWriter &writer = in_front ? in_front(own_writer) : own_writer;
    host::set_trace(trace.stream.get());
    host::set_stop_on_warnings(o.strict);
    host::set_message_stream(o.quiet ? nullptr : &std::cerr);
    const int result = host::run_program(job, writer);
    host::set_trace(nullptr);
    host::set_writer(nullptr);
    host::show_repeated_messages();

    // ---- 6. The verdict.  The trace goes first: it shows what happened also
    // when the program is not written, and a trace that cannot be written
    // fails the run before the program is put in place.
    const std::string what = o.check_only ? std::string("the job") : out.name();
    if (!trace.commit(error)) {
        out.discard();
        return fail(error + "; " + what + " was not written");
    }
    if (o.strict && host::message_total() > 0) {
        out.discard();
        return fail("a warning with --strict: " + (o.check_only ? "the job does not pass" : out.name() + " was not written"));
    }
    if (file_writer.error_number() != 0) {
        out.discard();
        return fail("cannot write " + out.name() + ": " + std::strerror(file_writer.error_number()));
    }
    if (result != 0) {
        out.discard();
        return fail("the NC program was stopped before its end; " +
                    (o.check_only ? std::string("the job does not pass") : out.name() + " was not written"));
    }
    if (!o.check_only && !out.commit(error)) return fail(error);
    return host::message_total() > 0 ? cli::written_with_warnings : cli::written;
}

}  // namespace cli
