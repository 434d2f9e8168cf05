// compared_events.cpp - a program's events with the forms of writing them
// taken out.
#include "diff/compared_events.h"

#include <cmath>

namespace diff {

using nc::Event;
using nc::EventKind;

verify::Tolerance side_tolerance(bool inch, double allowance_mm) {
    verify::Tolerance t = verify::program_tolerance(inch, allowance_mm);
    if (inch) t.feed *= INCH_F_IN_MM_F;
    return t;
}

ComparedEvents::ComparedEvents(nc::Generator<Event> &events, nc::TextTable &texts, bool inch, const verify::Tolerance &t)
    : events_(events), texts_(texts), inch_(inch), t_(t) {}

bool ComparedEvents::near(double a, double b) const { return std::fabs(a - b) <= t_.position; }

// Where the tool stands is itself a place made of written values, and a
// block that only means to leave it there writes it rounded once more: a
// positioning that goes no farther than that goes nowhere (as verify reads it).
bool ComparedEvents::travels(const Event &e) const {
    const double nowhere = t_.composed + t_.half_unit;
    return std::fabs(e.x - e.x0) > nowhere || std::fabs(e.y - e.y0) > nowhere;
}

bool ComparedEvents::next(Event &e) {
    while (ready_.empty()) {
        if (!events_.next(e)) {
            end_parameters();
            release_move();
            uncompared_.comments += static_cast<long long>(comments_.size());
            comments_.clear();
            break;
        }
        if (take(e)) {
            if (ready_.empty()) return true;  // the common case: handed on as it came
            ready_.push_back(e);
        }
    }
    if (ready_.empty()) return false;
    e = ready_.front();
    ready_.pop_front();
    return true;
}

void ComparedEvents::release_move() {
    if (!holding_move_) return;
    holding_move_ = false;
    ready_.push_back(held_move_);
}

void ComparedEvents::end_parameters() {
    if (!in_parameters_) return;
    in_parameters_ = false;
    ++uncompared_.parameter_runs;
    parameters_in_force_ = texts_.id(parameters_);
    parameters_.clear();
}

void ComparedEvents::emit() {
    release_move();
    uncompared_.comments += static_cast<long long>(comments_.size());
    comments_.clear();
}

bool ComparedEvents::take(Event &e) {
    frame_.place(e);
    const bool parameter =
        e.kind == EventKind::parameter_line || (e.kind == EventKind::user_text && e.number == 1);
    if (parameter) {
        if (in_parameters_) parameters_ += '\n';
        parameters_ += texts_.text(e.text);
        in_parameters_ = true;
        return false;
    }
    end_parameters();
    switch (e.kind) {
    case EventKind::format: ++uncompared_.line_forms; return false;
    case EventKind::comment: {
        // What the operator reads: the comment within its brackets.
        const std::string &text = texts_.text(e.text);
        const bool bracketed = text.size() >= 2 && text.front() == '(' && text.back() == ')';
        comments_.push_back(bracketed ? text.substr(1, text.size() - 2) : text);
        return false;
    }
    case EventKind::index_turn: ++uncompared_.index_turns; return false;
    case EventKind::tool_change: ++uncompared_.tool_changes; return false;
    case EventKind::frame: ++uncompared_.frames; return false;
    case EventKind::copy:
        ++uncompared_.copies;
        // The positioning right before a copy at its origin is the call's.
        if (holding_move_ && near(held_move_.x, e.x) && near(held_move_.y, e.y)) {
            holding_move_ = false;
            ++uncompared_.copy_positionings;
        }
        return false;
    case EventKind::move:
        if (e.purpose == nc::MovePurpose::approach || !travels(e)) {
            ++uncompared_.idle_positionings;
            return false;
        }
        if (e.purpose == nc::MovePurpose::plain) {
            release_move();
            holding_move_ = true;
            held_move_ = e;
            return false;
        }
        break;
    case EventKind::stop: {
        // What the operator reads when the machine stops.
        std::string told;
        for (const std::string &c : comments_) told += (told.empty() ? "" : "\n") + c;
        e.text = comments_.empty() ? -1 : texts_.id(told);
        comments_.clear();
        break;
    }
    case EventKind::pierce:
        e.number = parameters_in_force_;
        if (inch_) e.technology.feed *= INCH_F_IN_MM_F;
        break;
    case EventKind::laser:
        if (inch_) e.technology.feed *= INCH_F_IN_MM_F;
        break;
    // Both are programs: the index angle and the punch's modes always count.
    case EventKind::stroke:
    case EventKind::nibble: e.checks |= nc::CHECK_ANGLE | nc::CHECK_MODES; break;
    default: break;
    }
    emit();
    return true;
}

}  // namespace diff
