// work_steps.cpp - the table of the kinds of work step, and the checks of
// what the steps refer to.
#include "job/work_steps.h"

#include <sstream>
#include <string>
#include <variant>

#include "job/job_reader.h"

namespace job {
namespace {

constexpr StepKind STEP_KINDS[] = {
    {"hit", read_hit_step, false, nullptr, nullptr, &FLAT_HIT_STEP},
    {"position", read_position_step, false, nullptr, nullptr, &FLAT_POSITION_STEP},
    {"move", read_move_step, false, nullptr, nullptr, &FLAT_MOVE_STEP},
    {"laser_contour", read_laser_contour_step, true, "elements", read_laser_contour_element, nullptr},
    // ---- Rows, nibbling, bolt-hole circles ----
    {"row", read_row_step, false, nullptr, nullptr, nullptr},
    {"nibble_line", read_nibble_line_step, false, nullptr, nullptr, nullptr},
    {"nibble_circle", read_nibble_circle_step, false, nullptr, nullptr, nullptr},
    {"nibble_arc", read_nibble_arc_step, false, nullptr, nullptr, nullptr},
    {"bolt_hole_circle", read_bolt_hole_circle_step, false, nullptr, nullptr, nullptr},
    // ---- Sheet events ----
    {"stop", read_stop_step, false, nullptr, nullptr, nullptr},
    {"trap_door", read_trap_door_step, false, nullptr, nullptr, nullptr},
    {"tab_break", read_tab_break_step, false, nullptr, nullptr, nullptr},
    {"nc", read_nc_step, false, nullptr, nullptr, nullptr},
    {"feedrate", read_feedrate_step, false, nullptr, nullptr, nullptr},
    {"dwell", read_dwell_step, false, nullptr, nullptr, nullptr},
    {"sheet_move", read_sheet_move_step, false, nullptr, nullptr, nullptr},
    {"reposition", read_reposition_step, false, nullptr, nullptr, nullptr},
    {"flip", read_flip_step, false, nullptr, nullptr, nullptr},
    {"turn", read_turn_step, false, nullptr, nullptr, nullptr},
    // ---- Patterns ----
    {"pattern_call", read_pattern_call_step, false, nullptr, nullptr, nullptr},
    {"pattern_repeat", read_pattern_repeat_step, false, nullptr, nullptr, nullptr},
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

const StepKind *find_step_kind(std::string_view name) {
    for (const StepKind &kind : STEP_KINDS) {
        if (name == kind.name) return &kind;
    }
    return nullptr;
}

void read_work_step(const JsonField &step, WorkContext &context, std::size_t list_items) {
    if (!step.is_object() || step.size() != 1) {
        step.fail("a work step is an object with exactly one key: " + known_kinds());
    }
    const std::string_view name = step.first_key();
    const JsonField body = step.first_member();
    const StepKind *kind = find_step_kind(name);
    if (kind == nullptr) {
        body.fail("unknown operation \"" + std::string(name.substr(0, 60)) + "\" (known: " + known_kinds() + ")");
    }
    if (context.open_cut() != nullptr && !kind->goes_on_cutting) context.fail_open_cut();
    // Items of the long list still held in the body (a step built as a
    // whole) go to read_item first, as the reader of the file would hand them.
    if (kind->long_list != nullptr && body.has(kind->long_list)) {
        const JsonField list = body.member(kind->long_list);
        if (list.is_array()) {
            for (std::size_t i = 0; i < list.size(); ++i) kind->read_item(list.element(i), list_items + i, context);
            list_items += list.size();
        }
    }
    context.set_list_items(list_items);
    kind->read(body, context);
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
    if (fault.empty()) return;
    if (!turret_complete_) return wait(waiting_tools_, field, tool);
    field.fail(fault);
}

void WorkContext::require_technology(const JsonField &field, int number) {
    if (!technologies_known_) return wait(waiting_technologies_, field, number);
    const std::string fault = technology_fault(job_.technologies, number);
    if (fault.empty()) return;
    if (!technologies_complete_) return wait(waiting_technologies_, field, number);
    field.fail(fault);
}

bool WorkContext::known_punch(int tool) const {
    if (!turret_known_) return false;
    if (tool == last_known_punch_) return true;
    for (const Station &s : job_.turret) {
        if (s.tool == tool && !s.laser) {
            last_known_punch_ = tool;
            return true;
        }
    }
    return false;
}

void WorkContext::turret_known(bool complete) {
    turret_known_ = true;
    turret_complete_ = complete;
    last_known_punch_.reset();
}

void WorkContext::technologies_known(bool complete) {
    technologies_known_ = true;
    technologies_complete_ = complete;
}

void WorkContext::use_machine_clamp_travel(std::size_t work_index) { machine_clamp_travel_.push_back(work_index); }

void WorkContext::fail_open_cut() const {
    std::ostringstream text;
    text << open_cut_->place << ": the cut is left open here (laser_off 0), but the next step does not go on with it"
         << " from its end (" << open_cut_->x << ", " << open_cut_->y << ")";
    throw JobError(text.str());
}

void WorkContext::finish() {
    if (open_cut_) fail_open_cut();
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
    turret_known_ = technologies_known_ = turret_complete_ = technologies_complete_ = true;
    waiting_tools_.clear();
    waiting_technologies_.clear();
    patterns_known();
    check_patterns();
    check_small_distances();
}

}  // namespace job
