// control_setup.cpp - the control's setup from a job.
#include "verify/control_setup.h"

#include <variant>

#include "verify/job_events.h"

namespace verify {

nc::Setup control_setup(const job::Job &job, const LaserParSection &section) {
    nc::Setup setup;
    setup.inch = job.machine.inch;
    setup.load_x = job.machine.load_x;
    setup.load_y = job.machine.load_y;
    for (std::size_t i = 0; i < section.lines.size(); ++i) {
        setup.known.parameter_lines.emplace(section.lines[i], static_cast<int>(i));
    }
    for (std::size_t i = 0; i < job.nc_texts.size(); ++i) setup.known.user_texts.emplace(job.nc_texts[i], static_cast<int>(i));
    if (!job.laser_elements.empty() && !section.found) {
        setup.known.unknown_hint = section.readable ? "; no section of " + section.path + " fits the sheet"
                                                    : "; " + section.path + " cannot be read";
        setup.known.unknown_hint += " (is it a line of the machine's laser parameters?)";
    }
    if (job.machine.pattern_style != 0) {
        JobEvents expansion(job, setup);
        for (std::size_t i = 0; i < job.patterns.size(); ++i) {
            setup.stored_patterns.emplace(job.patterns[i].number, expansion.stored_pattern(i));
        }
    }
    return setup;
}

namespace {

bool cuts(const std::vector<job::Operation> &steps) {
    for (const job::Operation &op : steps) {
        if (std::holds_alternative<job::LaserContour>(op)) return true;
    }
    return false;
}

// Whether the program cuts with the laser, and so reads LASER.PAR: a contour
// of the work, of a definition at the top of the program, or of a pattern
// the work calls.
bool program_cuts(const job::Job &job) {
    if (cuts(job.work)) return true;
    for (std::size_t i = 0; i < job.patterns.size(); ++i) {
        if (!cuts(job.patterns[i].body)) continue;
        if (job.machine.pattern_style == 0) return true;
        for (const job::Operation &op : job.work) {
            if (const auto *one = std::get_if<job::PatternCall>(&op); one != nullptr && one->pattern == i) return true;
            if (const auto *repeat = std::get_if<job::PatternRepeat>(&op);
                repeat != nullptr && job.pattern_rows[repeat->row].pattern == i) {
                return true;
            }
        }
    }
    return false;
}

}  // namespace

LaserParSection laser_par_section_of(const job::Job &job) {
    if (!program_cuts(job)) return LaserParSection{};
    return read_laser_par_section(job.machine.machine_dir, job.sheet.material, job.sheet.thickness);
}

}  // namespace verify
