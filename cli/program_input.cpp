// program_input.cpp - the job and the program of a command that reads a
// program back.
#include "cli/program_input.h"

#include <cerrno>
#include <cstring>
#include <iostream>
#include <optional>

#include "cli/commands.h"
#include "cli/exit_status.h"
#include "cli/file_writer.h"
#include "cli/message_text.h"
#include "cli/module_path.h"
#include "cli/program_alone.h"
#include "host/host.h"
#include "job/job_reader.h"
#include "job/machine_file.h"

namespace cli {
namespace {

constexpr const char *STANDARD_STREAM = "-";

}  // namespace

ProgramToRead::~ProgramToRead() {
    if (own_ != nullptr) std::fclose(own_);
}

bool ProgramToRead::open(const Options &o, const std::string &path, const job::Job &job, host::LineMap *map) {
    status = written;
    if (!path.empty()) {
        if (path == STANDARD_STREAM && o.job_path == STANDARD_STREAM) {
            status = fail("the job and the program cannot both come from standard input");
            return false;
        }
        name = path == STANDARD_STREAM ? "standard input" : path;
        own_ = path == STANDARD_STREAM ? nullptr : std::fopen(path.c_str(), "rb");
        file = path == STANDARD_STREAM ? stdin : own_;
        if (file == nullptr) {
            status = fail("cannot open the program " + path + ": " + std::strerror(errno));
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
    host::set_line_map(map);
    const int result = host::run_program(job, writer);
    host::set_line_map(nullptr);
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

bool ReadBack::open(const Options &o, host::LineMap *map) {
    alone = o.program_path.empty() && holds_a_program(o.job_path);
    if (!alone) {
        try {
            job = job_of(o);
            control = std::make_unique<ControlFor>(job);
        } catch (const job::JobError &e) {
            status = fail(e.what());
            return false;
        } catch (const std::runtime_error &e) {
            status = fail(e.what());
            return false;
        }
        program_path = o.program_path;
        if (!program.open(o, o.program_path, job, map)) {
            status = program.status;
            return false;
        }
        return true;
    }
    // A program alone: its header and the machine file make its job.
    program_path = o.job_path;
    if (!program.open(o, o.job_path, job)) {
        status = program.status;
        return false;
    }
    try {
        std::optional<job::MachineFile> machine_file;
        if (!o.machine_file.empty()) machine_file.emplace(job::read_machine_file(o.machine_file));
        job = job_of_program(program.file, program.name, machine_file ? &*machine_file : nullptr);
    } catch (const job::JobError &e) {
        status = fail(e.what());
        return false;
    }
    control = std::make_unique<ControlFor>(setup_of_program(job));
    return true;
}

}  // namespace cli
