// readback.cpp - reading programs back, for the commands that check, plot
// and count them.
#include "cli/readback.h"

#include <cerrno>
#include <cstring>
#include <variant>

#include "cli/work_check.h"
#include "safety/check.h"
#include "verify/control_setup.h"
#include "verify/job_events.h"

namespace cli {

ScratchFile::~ScratchFile() {
    if (file_ != nullptr) std::fclose(file_);
}

bool ScratchFile::open(std::string &error) {
    file_ = std::tmpfile();
    if (file_ == nullptr) error = std::string("cannot make a scratch file to read the program back: ") + std::strerror(errno);
    return file_ != nullptr;
}

ControlFor::ControlFor(const job::Job &job)
    : section(verify::laser_par_section_of(job)), setup(verify::control_setup(job, section)) {}

ProgramEvents::ProgramEvents(std::FILE *file, const std::string &name, const nc::Setup &setup)
    : source_(file, name), reader_(source_, setup.known, setup.texts.get()), control_(reader_, setup),
      events_(control_.events()) {}

verify::ComparisonResult check_program(const job::Job &job, const ControlFor &control, std::FILE *program,
                                       const std::string &name, const verify::ComparisonOptions &options) {
    std::rewind(program);
    ProgramEvents read(program, name, control.setup);
    verify::JobEvents expansion(job, control.setup);
    nc::Generator<verify::JobEvent> job_events = expansion.events();
    verify::ComparisonOptions with_texts = options;
    with_texts.texts = control.setup.texts.get();
    verify::ComparisonResult result = verify::compare(read.events(), job_events, job, control.section, with_texts);
    result.lines = read.lines();
    return result;
}

stats::MachineTimes times_of(const job::Job &job) {
    const job::Machine &m = job.machine;
    stats::MachineTimes t;
    t.strokes_per_minute = m.strokes_per_minute;
    t.positioning_speed = m.positioning_speed;
    t.acceleration = m.acceleration;
    t.tool_change_time = m.tool_change_time;
    t.turret_step_time = m.turret_step_time;
    t.turret_stations = m.turret_stations;
    t.index_turn_time = m.index_turn_time;
    t.pierce_time = m.pierce_time;
    t.regrip_time = m.regrip_time;
    t.stop_time = m.stop_time;
    t.turn_time = m.turn_time;
    t.inch = m.inch;
    // A pierce is known by the words its technology writes.
    for (const job::LaserTechnology &tech : job.technologies) {
        if (tech.pierce_time == job::MACHINE_PIERCE_TIME) continue;
        const nc::Technology words = verify::technology_words(tech, m.inch);
        t.pierce_times.push_back(stats::PierceTime{words.m7x, words.mode, words.s, tech.pierce_time});
    }
    return t;
}

stats::Statistics count_program(const job::Job &job, const ControlFor &control, std::FILE *program,
                                const std::string &name) {
    std::rewind(program);
    ProgramEvents read(program, name, control.setup);
    const stats::TimeModel time(times_of(job));
    stats::Counter counter(time);
    safety::Check check(safety_layout(job));
    nc::Event e;
    while (read.events().next(e)) {
        counter.add(e);
        counter.add_findings(check.add(e));
    }
    return counter.result(read.lines());
}

plot::Scene scene_of(const job::Job &job, const std::string &title) {
    plot::Scene scene;
    scene.title = title;
    scene.sheet_x = job.sheet.size_x;
    scene.sheet_y = job.sheet.size_y;
    scene.clamps = job.machine.clamps;
    scene.safety = safety_layout(job);
    scene.load_x = job.machine.load_x;
    scene.load_y = job.machine.load_y;
    // The operator's turns of the sheet, in the order of the work: the stops
    // he is told about (a turn of another kind stops without a comment).
    for (const job::Operation &op : job.work) {
        if (std::holds_alternative<job::FlipSheet>(op)) scene.turns.push_back(plot::SheetTurn::flip);
        if (const auto *turn = std::get_if<job::TurnSheet>(&op)) {
            static const plot::SheetTurn KINDS[] = {plot::SheetTurn::clockwise, plot::SheetTurn::half,
                                                    plot::SheetTurn::counterclockwise};
            if (turn->kind >= 0 && turn->kind <= 2) scene.turns.push_back(KINDS[turn->kind]);
        }
    }
    for (const job::Station &s : job.turret) {
        if (s.laser) continue;
        plot::Footprint f;
        f.shape = static_cast<plot::Footprint::Shape>(static_cast<int>(s.shape));
        f.size_x = s.size_x;
        f.size_y = s.size_y;
        scene.tools[s.station] = f;
    }
    return scene;
}

void draw_program(const job::Job &job, const ControlFor &control, std::FILE *program, const std::string &name,
                  std::FILE *svg, const std::string &title) {
    const plot::Scene scene = scene_of(job, title);
    plot::Extent extent(scene);
    {
        std::rewind(program);
        ProgramEvents read(program, name, control.setup);
        nc::Event e;
        while (read.events().next(e)) extent.add(e);
    }
    std::rewind(program);
    ProgramEvents read(program, name, control.setup);
    plot::SvgPlot drawing(svg, scene, extent);
    nc::Event e;
    while (read.events().next(e)) drawing.add(e);
    drawing.finish();
}

}  // namespace cli
