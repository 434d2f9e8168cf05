// readback.h - programs read back by the tool: from their file, or from a
// scratch copy of what a run just wrote, through the model of the control
// set up for the job.
#pragma once

#include <cstdio>
#include <functional>
#include <string>

#include "job/job.h"
#include "nc/block_reader.h"
#include "nc/control.h"
#include "nc/setup.h"
#include "plot/svg_plot.h"
#include "stats/statistics.h"
#include "verify/comparison.h"
#include "verify/laser_par_section.h"

namespace cli {

// A file of the tool's own, removed when closed (the program written by a
// run, kept to be read back before it is put in place).
class ScratchFile {
public:
    ScratchFile() = default;
    ScratchFile(const ScratchFile &) = delete;
    ScratchFile &operator=(const ScratchFile &) = delete;
    ~ScratchFile();
    bool open(std::string &error);
    std::FILE *stream() const { return file_; }

private:
    std::FILE *file_ = nullptr;
};

// The control as it stands for a job's program.
struct ControlFor {
    ControlFor() = default;  // none: no program is read back
    explicit ControlFor(const job::Job &job);
    explicit ControlFor(nc::Setup program_setup) : setup(std::move(program_setup)) {}  // a program without its job
    verify::LaserParSection section;
    nc::Setup setup;
};

// A program's events, from an open stream at its start.
class ProgramEvents {
public:
    ProgramEvents(std::FILE *file, const std::string &name, const nc::Setup &setup);
    nc::Generator<nc::Event> &events() { return events_; }
    long long lines() const { return reader_.lines(); }

private:
    nc::FileSource source_;
    nc::BlockReader reader_;
    nc::Control control_;
    nc::Generator<nc::Event> events_;
};

// The program held against the job; messages name the lines with
// line_name when given.
verify::ComparisonResult check_program(const job::Job &job, const ControlFor &control, std::FILE *program,
                                       const std::string &name, const verify::ComparisonOptions &options);

// The program counted, and drawn; the stream is read from its start (the
// plot reads it twice: to measure, then to draw).
stats::Statistics count_program(const job::Job &job, const ControlFor &control, std::FILE *program,
                                const std::string &name);
// The machine's speeds and times for the estimate, from its keys and its
// laser technologies' pierce times.
stats::MachineTimes times_of(const job::Job &job);
void draw_program(const job::Job &job, const ControlFor &control, std::FILE *program, const std::string &name,
                  std::FILE *svg, const std::string &title);

// The plot's picture of the sheet, its clamps and the turret's footprints.
plot::Scene scene_of(const job::Job &job, const std::string &title);

}  // namespace cli
