// work_check.cpp - the clamps and the sheet against the program read back.
#include "cli/work_check.h"

#include "safety/check.h"
#include "verify/comparison.h"

namespace cli {
namespace {

// The warnings told in full; the rest are counted.
constexpr std::size_t WARNINGS_SHOWN = 20;

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
    WorkCheck result{warnings.findings(), warnings.texts(WARNINGS_SHOWN), {}};
    result.worst = warnings.worst(WARNINGS_SHOWN);
    return result;
}

}  // namespace cli
