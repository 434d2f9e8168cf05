// job_place.cpp - naming the places of a job.
#include "verify/job_place.h"

#include <type_traits>
#include <variant>

namespace verify {
namespace {

const char *element_kind_name(const job::PunchElement &e) {
    switch (e.kind) {
    case job::PunchElement::Kind::row: return "row";
    case job::PunchElement::Kind::nibbled_line: return "nibble_line";
    case job::PunchElement::Kind::nibbled_circle: return "nibble_circle";
    case job::PunchElement::Kind::nibbled_arc: return "nibble_arc";
    case job::PunchElement::Kind::bolt_hole_circle: return "bolt_hole_circle";
    }
    return "?";
}

// The item inside a step: an element of a contour, a hit of a row, a hole.
std::string item_name(const job::Operation &op, const job::Job &job, long long item) {
    if (item < 0) return "";
    if (std::holds_alternative<job::LaserContour>(op)) return " elements[" + std::to_string(item) + "]";
    if (const auto *step = std::get_if<job::PunchElementStep>(&op)) {
        const bool holes = job.element(*step).kind == job::PunchElement::Kind::bolt_hole_circle;
        return std::string(holes ? " hole " : " hit ") + std::to_string(item + 1);
    }
    return "";
}

std::string step_name(const char *list, std::size_t index, const job::Operation &op, const job::Job &job) {
    return std::string(list) + "[" + std::to_string(index) + "] (" + step_kind_name(op, job) + ")";
}

}  // namespace

const char *step_kind_name(const job::Operation &op, const job::Job &job) {
    return std::visit(
        [&job](const auto &step) -> const char * {
            using Step = std::decay_t<decltype(step)>;
            if constexpr (std::is_same_v<Step, job::Hit>) return step.position_only ? "position" : "hit";
            else if constexpr (std::is_same_v<Step, job::Movement>) return "move";
            else if constexpr (std::is_same_v<Step, job::LaserContour>) return "laser_contour";
            else if constexpr (std::is_same_v<Step, job::PunchElementStep>) return element_kind_name(job.element(step));
            else if constexpr (std::is_same_v<Step, job::SheetStop>) return "stop";
            else if constexpr (std::is_same_v<Step, job::TrapDoor>) return "trap_door";
            else if constexpr (std::is_same_v<Step, job::TabBreak>) return "tab_break";
            else if constexpr (std::is_same_v<Step, job::SheetNcText>) return "nc";
            else if constexpr (std::is_same_v<Step, job::SheetFeed>) return "feedrate";
            else if constexpr (std::is_same_v<Step, job::Dwell>) return "dwell";
            else if constexpr (std::is_same_v<Step, job::SheetMove>) return "sheet_move";
            else if constexpr (std::is_same_v<Step, job::Reposition>) return "reposition";
            else if constexpr (std::is_same_v<Step, job::FlipSheet>) return "flip";
            else if constexpr (std::is_same_v<Step, job::TurnSheet>) return "turn";
            else if constexpr (std::is_same_v<Step, job::PatternCall>) return "pattern_call";
            else if constexpr (std::is_same_v<Step, job::PatternRepeat>) return "pattern_repeat";
            else return "?";
        },
        op);
}

std::string json_path(const JobPlace &place) {
    switch (place.part) {
    case JobPlace::Part::header:
    case JobPlace::Part::trailer: return "";
    case JobPlace::Part::pattern: return "/patterns/" + std::to_string(place.step) + "/body/" + std::to_string(place.body_step);
    case JobPlace::Part::work: break;
    }
    if (place.in_copy) return "/patterns/" + std::to_string(place.pattern) + "/body/" + std::to_string(place.body_step);
    return "/work/" + std::to_string(place.step);
}

std::string place_name(const JobPlace &place, const job::Job &job) {
    switch (place.part) {
    case JobPlace::Part::header: return std::string("header (") + place.what + ")";
    case JobPlace::Part::trailer: return std::string("trailer (") + place.what + ")";
    case JobPlace::Part::pattern: {
        if (place.step >= job.patterns.size()) return "patterns[?]";
        const job::Pattern &p = job.patterns[place.step];
        if (place.body_step >= p.body.size()) return "patterns[" + std::to_string(place.step) + "]";
        return "patterns[" + std::to_string(place.step) + "]." +
               step_name("body", place.body_step, p.body[place.body_step], job);
    }
    case JobPlace::Part::work: break;
    }
    if (place.step >= job.work.size()) return "work[?]";
    const job::Operation &op = job.work[place.step];
    std::string name = step_name("work", place.step, op, job);
    if (!place.in_copy) return name + item_name(op, job, place.item);
    name += " copy " + std::to_string(place.copy + 1);
    if (place.pattern < job.patterns.size() && place.body_step < job.patterns[place.pattern].body.size()) {
        const job::Operation &body_op = job.patterns[place.pattern].body[place.body_step];
        name += ": patterns[" + std::to_string(place.pattern) + "]." +
                step_name("body", place.body_step, body_op, job) + item_name(body_op, job, place.item);
    }
    return name;
}

}  // namespace verify
