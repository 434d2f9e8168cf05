// work_steps.cpp - the table of the kinds of work step, and the checks of
// what the steps refer to.
#include "job/work_steps.h"

#include <string>
#include <variant>

#include "job/job_reader.h"

namespace job {
namespace {

struct StepKind {
    const char *name;  // the key of the step in the work array
    void (*read)(const JsonField &body, WorkContext &context);
};

constexpr StepKind STEP_KINDS[] = {
    {"hit", read_hit_step},
    {"position", read_position_step},
    {"move", read_move_step},
    {"laser_contour", read_laser_contour_step},
    // ---- Rows, nibbling, bolt-hole circles ----
    {"row", read_row_step},
    {"nibble_line", read_nibble_line_step},
    {"nibble_circle", read_nibble_circle_step},
    {"nibble_arc", read_nibble_arc_step},
    {"bolt_hole_circle", read_bolt_hole_circle_step},
    // ---- Sheet events ----
    {"stop", read_stop_step},
    {"trap_door", read_trap_door_step},
    {"tab_break", read_tab_break_step},
    {"nc", read_nc_step},
    {"feedrate", read_feedrate_step},
    {"dwell", read_dwell_step},
    {"sheet_move", read_sheet_move_step},
    {"reposition", read_reposition_step},
    {"flip", read_flip_step},
    {"turn", read_turn_step},
};

std::string known_kinds() {
    std::string list;
    for (const StepKind &kind : STEP_KINDS) list += (list.empty() ? "" : ", ") + std::string(kind.name);
    return list;
}

// Why tool cannot be hit with, or "" when it can.
std::string punch_fault(const std::vector<Station> &turret, int tool) {
    for (const Station &s : turret) {
        if (s.tool == tool) return s.laser ? "tool " + std::to_string(tool) + " is the laser head, not a punch" : "";
    }
    return "tool " + std::to_string(tool) + " is not in the turret";
}

// Why number is no laser technology, or "" when it is one.
std::string technology_fault(const std::vector<LaserTechnology> &technologies, int number) {
    for (const LaserTechnology &t : technologies) {
        if (t.number == number) return "";
    }
    return "laser technology " + std::to_string(number) + " is not defined in laser_technologies";
}

}  // namespace

void read_work_step(const JsonField &step, WorkContext &context) {
    const nlohmann::json &value = step.value();
    if (!value.is_object() || value.size() != 1) {
        step.fail("a work step is an object with exactly one key: " + known_kinds());
    }
    const std::string &name = value.begin().key();
    const JsonField body(value.begin().value(), step.path().key(name));
    for (const StepKind &kind : STEP_KINDS) {
        if (name == kind.name) return kind.read(body, context);
    }
    body.fail("unknown operation \"" + name.substr(0, 60) + "\" (known: " + known_kinds() + ")");
}

// ---- References ----------------------------------------------------------------

void WorkContext::wait(std::map<int, Waiting> &waiting, const JsonField &field, int value) {
    // Only the first place of each value is kept: a job of a million hits
    // refers to a handful of tools.
    if (waiting.find(value) == waiting.end()) waiting.emplace(value, Waiting{field.place(), waits_++});
}

void WorkContext::require_punch(const JsonField &field, int tool) {
    if (!turret_known_) return wait(waiting_tools_, field, tool);
    const std::string fault = punch_fault(job_.turret, tool);
    if (!fault.empty()) field.fail(fault);
}

void WorkContext::require_technology(const JsonField &field, int number) {
    if (!technologies_known_) return wait(waiting_technologies_, field, number);
    const std::string fault = technology_fault(job_.technologies, number);
    if (!fault.empty()) field.fail(fault);
}

void WorkContext::turret_known() { turret_known_ = true; }

void WorkContext::technologies_known() { technologies_known_ = true; }

void WorkContext::use_machine_clamp_travel(std::size_t work_index) { machine_clamp_travel_.push_back(work_index); }

void WorkContext::finish() {
    const Waiting *first = nullptr;
    std::string first_fault;
    auto consider = [&](const Waiting &w, const std::string &fault) {
        if (!fault.empty() && (first == nullptr || w.order < first->order)) {
            first = &w;
            first_fault = fault;
        }
    };
    for (const auto &[tool, w] : waiting_tools_) consider(w, punch_fault(job_.turret, tool));
    for (const auto &[number, w] : waiting_technologies_) consider(w, technology_fault(job_.technologies, number));
    if (first != nullptr) throw JobError(first->place + ": " + first_fault);
    for (std::size_t i : machine_clamp_travel_) {
        std::get<Reposition>(job_.work[i]).clamp_travel = job_.machine.reposition_clamp_travel;
    }
    machine_clamp_travel_.clear();
    turret_known_ = technologies_known_ = true;
    waiting_tools_.clear();
    waiting_technologies_.clear();
}

}  // namespace job
