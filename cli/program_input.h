// program_input.h - what the commands that read a program back (verify,
// plot, stats, view) work on: the job, or the job that stands for a program
// read alone, and the program: the file named, or the job's own program
// posted into a scratch file.
#pragma once

#include <cstdio>
#include <memory>
#include <string>

#include "cli/options.h"
#include "cli/readback.h"
#include "host/host.h"
#include "job/job.h"

namespace cli {

// A program to read.  status: written, written_with_warnings, or what
// fail() answered.
class ProgramToRead {
public:
    ProgramToRead() = default;
    ProgramToRead(const ProgramToRead &) = delete;
    ProgramToRead &operator=(const ProgramToRead &) = delete;
    ~ProgramToRead();
    // The program at path ("-": standard input), or, when path is empty,
    // the job's own program posted as pelk-post JOB would write it (map, when
    // given, told of its lines).
    bool open(const Options &o, const std::string &path, const job::Job &job, host::LineMap *map = nullptr);

    std::FILE *file = nullptr;
    std::string name;
    int status = 0;

private:
    std::FILE *own_ = nullptr;
    ScratchFile scratch_;
};

// The job (read from JOB, or made from the program's header when JOB holds a
// program, with --machine), the program, the control set up for both.
struct ReadBack {
    job::Job job;
    bool alone = false;                 // a program without its job
    ProgramToRead program;
    std::unique_ptr<ControlFor> control;
    std::string program_path;           // the file read; "" when the job was posted
    int status = 0;                     // the exit status when open() failed

    // False with status set (the reason shown) when the job or the program
    // cannot be had.  map: told of the lines of a job's program posted here.
    bool open(const Options &o, host::LineMap *map = nullptr);
};

}  // namespace cli
