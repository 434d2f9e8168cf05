// work_check.cpp - the clamps and the sheet against the program read back.
#include "cli/work_check.h"

#include "safety/check.h"
#include "verify/comparison.h"
#include "verify/job_events.h"

namespace cli {
namespace {

// The warnings told in full; the rest are counted.
constexpr std::size_t WARNINGS_SHOWN = 20;

// The program's events, each held against the clamps and the sheet on its way.
nc::Generator<nc::Event> checked(nc::Generator<nc::Event> &events, safety::Check &check, safety::Warnings &warnings) {
    nc::Event e;
    while (events.next(e)) {
        for (const safety::Finding &f : check.add(e)) warnings.add(f);
        co_yield e;
    }
}

// What the check found, told.
WorkCheck told(safety::Warnings &warnings) {
    WorkCheck work{warnings.findings(), warnings.texts(WARNINGS_SHOWN), {}};
    work.worst = warnings.worst(WARNINGS_SHOWN);
    return work;
}

}  // namespace

safety::Layout safety_layout(const job::Job &job) {
    safety::Layout layout;
    layout.sheet_x = job.sheet.size_x;
    layout.sheet_y = job.sheet.size_y;
    layout.clamps = job.machine.clamps;
    layout.zone_width = job.machine.clamp_zone_width;
    layout.zone_depth = job.machine.clamp_zone_depth;
    layout.unknown_tool.size_x = layout.unknown_tool.size_y = job.machine.default_tool_diameter;
    for (const job::Station &s : job.turret) {
        if (s.laser || s.shape == job::ToolShape::none) continue;
        safety::Footprint f;
        f.shape = static_cast<safety::Footprint::Shape>(static_cast<int>(s.shape) - 1);
        f.size_x = s.size_x;
        f.size_y = s.size_y;
        layout.tools[s.station] = f;
    }
    // A stroke or cut written to the program's last digit may stand that far
    // from the job's place: touching stays touching.
    layout.tolerance = verify::program_tolerance(job.machine.inch).position;
    return layout;
}

WorkCheck check_work(const job::Job &job, const ControlFor &control, std::FILE *program, const std::string &name,
                     const safety::Warnings::StepName &step_name) {
    std::rewind(program);
    ProgramEvents read(program, name, control.setup);
    safety::Check check(safety_layout(job));
    safety::Warnings warnings(step_name, job.sheet.size_x, job.sheet.size_y);
    nc::Event e;
    while (read.events().next(e)) {
        for (const safety::Finding &f : check.add(e)) warnings.add(f);
    }
    return told(warnings);
}

ProgramChecks check_program_and_work(const job::Job &job, const ControlFor &control, std::FILE *program,
                                     const std::string &name, const verify::ComparisonOptions &options,
                                     const safety::Warnings::StepName &step_name) {
    std::rewind(program);
    ProgramEvents read(program, name, control.setup);
    safety::Check check(safety_layout(job));
    safety::Warnings warnings(step_name, job.sheet.size_x, job.sheet.size_y);
    nc::Generator<nc::Event> events = checked(read.events(), check, warnings);
    verify::JobEvents expansion(job, control.setup);
    nc::Generator<verify::JobEvent> job_events = expansion.events();
    verify::ComparisonOptions with_texts = options;
    with_texts.texts = control.setup.texts.get();
    ProgramChecks checks;
    checks.comparison = verify::compare(events, job_events, job, control.section, with_texts);
    checks.comparison.lines = read.lines();
    // The comparison has read the program to its end, so every event has
    // been held against the clamps and the sheet as well.
    checks.work = told(warnings);
    return checks;
}

}  // namespace cli
