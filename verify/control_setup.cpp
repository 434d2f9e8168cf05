// control_setup.cpp - the control's setup from a job.
#include "verify/control_setup.h"

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

LaserParSection laser_par_section_of(const job::Job &job) {
    if (job.laser_elements.empty()) return LaserParSection{};
    return read_laser_par_section(job.machine.machine_dir, job.sheet.material, job.sheet.thickness);
}

}  // namespace verify
