// job_state.cpp - turning a job into the host's variables and records.
#include <cstring>

#include "host/host_state.h"
#include "interface/host_api.h"

namespace {

// The job reader refuses texts longer than these; the host's records and
// arrays must hold them with their terminating zero.
static_assert(job::MAX_OPTIONS_LENGTH < STATION_OPTIONS_SIZE, "station options do not fit the station record");
static_assert(job::MAX_TECH_MODE_LENGTH < TT_MODE_SIZE, "the technology mode does not fit its record");
static_assert(job::MAX_TECH_M7X_LENGTH < TT_M7X_SIZE, "the M7x selector does not fit its record");
static_assert(job::MAX_TECH_S_VALUE_LENGTH < TT_S_VALUE_SIZE, "the S value does not fit its record");

// The machine directory without trailing separators ("/" becomes "", so
// that the module's "<dir>/LASER.PAR" still names the root).
std::string without_trailing_separator(std::string dir) {
    while (!dir.empty() && dir.back() == '/') dir.pop_back();
    if (dir.size() > job::MAX_MACHINE_DIR_LENGTH) dir.resize(job::MAX_MACHINE_DIR_LENGTH);
    return dir;
}

int clamp_count(std::size_t n) { return n > 1000000 ? 1000000 : static_cast<int>(n); }

}  // namespace

namespace host::detail {

TechnologyRecord technology_record(const job::LaserTechnology &t) {
    TechnologyRecord record;
    record.number = t.number;
    char *bytes = record.bytes.data();
    std::memcpy(bytes + TT_FEEDRATE_AT, &t.feedrate, sizeof t.feedrate);
    copy_text(bytes + TT_MODE_AT, TT_MODE_SIZE, t.mode);
    copy_text(bytes + TT_M7X_AT, TT_M7X_SIZE, t.m7x);
    copy_text(bytes + TT_S_VALUE_AT, TT_S_VALUE_SIZE, t.s_value);
    return record;
}

void apply_machine_and_sheet(const job::Job &job) {
    const job::Machine &m = job.machine;
    c_post_processor = m.post_processor;
    c_mch_units = m.inch ? 1 : 0;
    c_nc_EIA = m.eia ? 1 : 0;
    c_program_number = m.program_number;
    c_nc_use_program_number = m.use_program_number ? 1 : 0;
    c_nc_rewind_flag = m.rewind ? 1 : 0;
    c_loader_unloader = m.loader_unloader;
    c_pelk_repos_type = m.reposition_type;
    c_line_number_inc = m.line_number_increment;
    c_max_feedrate = m.max_feedrate;
    c_initial_feedrate = m.initial_feedrate;
    c_load_pos_x = m.load_x;
    c_load_pos_y = m.load_y;
    c_clamps = clamp_count(m.clamps.size());
    c_nc_sub_type = m.pattern_style;
    c_nc_max_subs = m.max_patterns;
    c_laser_allowed = m.laser_allowed;

    const job::Sheet &sheet = job.sheet;
    copy_text(c_material, job::MAX_MATERIAL_LENGTH + 1, sheet.material);
    copy_text(c_nes_name, job::MAX_NEST_NAME_LENGTH + 1, sheet.nest_name);
    c_thickness = sheet.thickness;
    c_sheet_x = sheet.size_x;
    c_sheet_y = sheet.size_y;

    Session &s = session();
    s.clamps = m.clamps;
    s.machine_dir = without_trailing_separator(m.machine_dir);
}

}  // namespace host::detail

namespace host {

void apply_job(const job::Job &job) {
    detail::Session &s = detail::session();
    s.job = &job;
    detail::apply_machine_and_sheet(job);
    detail::build_station_table(job.turret);
    // c_nc_laser_tt1 points into the records: never leave it at old ones.
    c_nc_laser_tt1 = nullptr;
    s.technology_records.clear();
    s.technology_at.clear();
    for (std::size_t i = 0; i < job.technologies.size(); ++i) s.technology_at.emplace(job.technologies[i].number, i);
    s.pattern_facts.clear();
    s.pattern_facts_known.clear();
}

}  // namespace host
