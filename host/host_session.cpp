// host_session.cpp - the host's session and putting it back to the state
// before any job.
#include <cstdio>
#include <cstring>
#include <iostream>

#include "host/host_state.h"
#include "interface/host_api.h"

namespace host::detail {

void copy_text(char *target, std::size_t size, const std::string &text) {
    if (target == nullptr || size == 0) return;
    std::snprintf(target, size, "%s", text.c_str());
}

std::string step_path() {
    const StepPlace &place = session().place;
    switch (place.part) {
    case StepPlace::Part::work_step: return "/work/" + std::to_string(place.index);
    case StepPlace::Part::pattern_step:
        return "/patterns/" + std::to_string(place.index) + "/body/" + std::to_string(place.body_index);
    case StepPlace::Part::pattern: return "/patterns/" + std::to_string(place.index);
    case StepPlace::Part::header:
    case StepPlace::Part::trailer: break;
    }
    return "";
}

void reset_variables() {
    // Machine and sheet as a job that leaves every value at its default.
    static const job::Job defaults;
    apply_machine_and_sheet(defaults);
    c_nc_block = 0;
    c_nc_m = 0;
    c_nc_g = 0;
    c_sim_draw_type = 0;
    c_done_repos_flag = 0;
    current_repos_x = 0.0;
    c_repos_y = 0.0;
    c_nc_abs_sub_x = 0.0;
    c_nc_abs_sub_y = 0.0;
    std::memset(aaa_ps1, 0, 16 * sizeof aaa_ps1[0]);
    c_nc_laser_tt1 = nullptr;
    init_pp_variables();
}

}  // namespace host::detail

namespace host {

void reset_host() {
    detail::Session &s = detail::session();
    s.job = nullptr;
    s.writer = nullptr;
    s.refused = false;
    s.stop_on_warnings = false;
    s.message_stream = &std::cerr;
    s.trace = nullptr;
    s.accounting = Accounting{};
    s.messages.clear();
    s.message_counts.clear();
    s.counted.clear();
    s.message_total = 0;
    s.technology_records.clear();
    s.technology_at.clear();
    s.pattern_facts.clear();
    s.pattern_facts_known.clear();
    s.clamps = {};
    s.machine_dir.clear();
    s.message_texts.clear();
    s.line_map = nullptr;
    detail::restore_loaded_hooks();
    std::memset(c_nc_buff, 0, PELK_NC_BUFF_MIN_SIZE);
    detail::build_station_table({});
    detail::reset_variables();
}

}  // namespace host
