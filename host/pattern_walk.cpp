// pattern_walk.cpp - the host's knowledge of a pattern: its first tool, the
// place its last step leaves the tool, and the state before and after the
// control runs it.  Steps are looked at through the fields they have, so
// that every kind of work step a body may hold is covered alike.
#include "host/pattern_walk.h"

#include <cmath>
#include <numbers>
#include <type_traits>
#include <variant>

#include "host/host_state.h"
#include "host/punch_element_walk.h"
#include "interface/host_api.h"

namespace host::detail {

namespace {

constexpr double RADIANS_PER_DEGREE = std::numbers::pi / 180.0;

// The punch tool of a step, or 0 for a step without one (a move, a laser
// contour).
template <typename Step>
int punch_tool_of(const Step &step) {
    if constexpr (requires { step.tool; }) {
        const job::Station *station = find_station(step.tool);
        return station != nullptr && !station->laser ? step.tool : 0;
    } else {
        return 0;
    }
}

template <typename Step>
double angle_of(const Step &step) {
    if constexpr (requires { step.angle; }) return step.angle;
    else return 0.0;
}

// The control leaves the tool this far outside a nibbled circle or arc.
constexpr double NIBBLING_RADIUS_ALLOWANCE = 5.0;

// Where a punching element leaves the tool: a row or a nibbled line at its
// end, a nibbled circle beside its start and an arc beside its end (outside
// by the allowance), a bolt-hole circle at its last hole.
void end_point_of(const job::PunchElement &e, const job::Job &, double &x, double &y) {
    using Kind = job::PunchElement::Kind;
    double at = 0.0;
    double reach = e.radius;
    switch (e.kind) {
    case Kind::row:
    case Kind::nibbled_line:
        x = e.x2;
        y = e.y2;
        return;
    case Kind::nibbled_circle:
        at = e.start_angle * RADIANS_PER_DEGREE;
        reach += NIBBLING_RADIUS_ALLOWANCE;
        break;
    case Kind::nibbled_arc:
        at = std::atan2(e.y2 - e.yc, e.x2 - e.xc);
        reach += NIBBLING_RADIUS_ALLOWANCE;
        break;
    case Kind::bolt_hole_circle:
        at = (e.start_angle + e.step_angle * (e.count - 1)) * RADIANS_PER_DEGREE;
        break;
    }
    x = e.xc + reach * std::cos(at);
    y = e.yc + reach * std::sin(at);
}

// Where a step leaves the tool: a contour at the end of its last element;
// a step with an end point (x2, y2 or xe, ye) there; a full circle at its
// start (xs, ys); a single position (x, y) there.  x, y hold where the tool
// stood before the step.
template <typename Step>
void end_point_of(const Step &step, const job::Job &job, double &x, double &y) {
    if constexpr (std::is_same_v<Step, job::LaserContour>) {
        const auto elements = job.elements(step);
        if (elements.empty()) return;
        x = elements.back().x2;
        y = elements.back().y2;
    } else if constexpr (std::is_same_v<Step, job::PatternCall> || std::is_same_v<Step, job::PatternRepeat>) {
        // A body holds no calls (the job reader refuses them).
    } else if constexpr (requires { step.x2; step.y2; }) {
        x = step.x2;
        y = step.y2;
    } else if constexpr (requires { step.xe; step.ye; }) {
        x = step.xe;
        y = step.ye;
    } else if constexpr (requires { step.xs; step.ys; }) {
        x = step.xs;
        y = step.ys;
    } else if constexpr (requires { step.x; step.y; }) {
        x = step.x;
        y = step.y;
    }
    // A step without a place of its own (a stop, a dwell, an NC text, ...)
    // leaves the tool where it stands.
}

// The trap door of kind 5 moves the tool by its distance; other kinds
// write nothing.
void end_point_of(const job::TrapDoor &door, const job::Job &, double &x, double &y) {
    if (door.kind != 5) return;
    x += door.dx;
    y += door.dy;
}

// A re-grip by the explicit sequence leaves the control's X back by the
// distance; by command it keeps it.
void end_point_of(const job::Reposition &r, const job::Job &job, double &x, double &y) {
    x = job.machine.reposition_type == 1 ? r.x : r.x - r.dx;
    y = r.y;
}

// A flip or turn brings the sheet to the load position.
void end_point_of(const job::FlipSheet &, const job::Job &job, double &x, double &y) {
    x = job.machine.load_x;
    y = job.machine.load_y;
}
void end_point_of(const job::TurnSheet &, const job::Job &job, double &x, double &y) {
    x = job.machine.load_x;
    y = job.machine.load_y;
}

bool is_indexable(int tool) {
    const job::Station *station = find_station(tool);
    return station != nullptr && station->indexable;
}

int laser_tool(const job::Job &job) {
    for (const job::Station &s : job.turret) {
        if (s.laser) return s.tool;
    }
    return 0;
}

int station_of(int tool) {
    const job::Station *station = find_station(tool);
    return station != nullptr ? station->station : 0;
}

}  // namespace

void step_end_point(const job::Operation &op, const job::Job &job, double &x, double &y) {
    job::visit_step(op, job, [&](const auto &step) { end_point_of(step, job, x, y); });
}

PatternEntry pattern_entry(const job::Pattern &pattern, const job::Job &job) {
    PatternEntry entry;
    for (const job::Operation &op : pattern.body) {
        job::visit_step(
            op, job, [&entry](const auto &step) {
                using Step = std::decay_t<decltype(step)>;
                if constexpr (std::is_same_v<Step, job::LaserContour>) {
                    entry.cuts = true;
                } else if (const int tool = punch_tool_of(step); tool != 0 && entry.tool == 0) {
                    entry.tool = tool;
                    entry.angle = angle_of(step);
                    entry.indexable = is_indexable(tool) ? 1 : 0;
                }
            });
    }
    if (entry.tool == 0 && entry.cuts) {
        entry.tool = laser_tool(job);
        entry.laser = true;
    }
    return entry;
}

int pattern_station(const job::Pattern &pattern, const job::Job &job) {
    for (const job::Operation &op : pattern.body) {
        const int tool = job::visit_step(op, job, [](const auto &step) { return punch_tool_of(step); });
        if (tool != 0) return station_of(tool);
    }
    return 0;
}

PatternExit pattern_exit(const job::Pattern &pattern, const job::Job &job) {
    PatternExit exit;
    for (const job::Operation &op : pattern.body) {
        job::visit_step(
            op, job, [&exit, &job](const auto &step) {
                end_point_of(step, job, exit.x, exit.y);
                end_point_of(step, job, exit.job_x, exit.job_y);
                // On the control, nibbling ends where its values as written
                // lead, which may lie farther from its end than anything else
                // the body writes.  A body the program does not hold (the
                // control has it stored) ends where the job says.
                if constexpr (std::is_same_v<std::decay_t<decltype(step)>, job::PunchElement>) {
                    if (job.machine.pattern_style == 0 && step.kind != job::PunchElement::Kind::row && step.kind != job::PunchElement::Kind::bolt_hole_circle) {
                        nibbled_end_as_written(step, true, exit.x, exit.y);
                    }
                }
                const int tool = punch_tool_of(step);
                if (tool != 0 && is_indexable(tool)) {
                    exit.indexed = true;
                    exit.angle = angle_of(step);
                }
            });
    }
    return exit;
}

const PatternFacts &pattern_facts(const job::Pattern &pattern, const job::Job &job) {
    Session &s = session();
    const auto index = static_cast<std::size_t>(&pattern - job.patterns.data());
    if (s.pattern_facts.size() != job.patterns.size()) {
        s.pattern_facts.assign(job.patterns.size(), PatternFacts{});
        s.pattern_facts_known.assign(job.patterns.size(), false);
    }
    if (!s.pattern_facts_known[index]) {
        s.pattern_facts[index] = PatternFacts{pattern_entry(pattern, job), pattern_station(pattern, job),
                                              pattern_exit(pattern, job)};
        s.pattern_facts_known[index] = true;
    }
    return s.pattern_facts[index];
}

void take_pattern_exit(const job::Pattern &pattern, const job::Job &job, double x, double y, double job_x,
                       double job_y) {
    const PatternFacts &facts = pattern_facts(pattern, job);
    const PatternExit &exit = facts.exit;
    c_nc_x = x + exit.x;
    c_nc_y = y + exit.y;
    session().job_x = job_x + exit.job_x;
    session().job_y = job_y + exit.job_y;

    const int station = facts.station;
    if (station == 0) return;
    // A station the call did not put in place was changed inside the body,
    // where the index counts as standing at 0 after the change.
    if (station != c_nc_tool) {
        c_nc_tool = station;
        c_nc_tool_a = 0.0;
    }
    if (exit.indexed) c_nc_tool_a = exit.angle;
}

void begin_pattern_body(const job::Pattern &pattern, const job::Job &job) {
    session().job_x = 0.0;
    session().job_y = 0.0;
    session().body_on_grid = true;
    c_nc_in_sub = 1;
    c_nc_abs_sub_x = 0.0;
    c_nc_abs_sub_y = 0.0;
    c_nc_x = 0.0;
    c_nc_y = 0.0;
    c_nc_tool = pattern_station(pattern, job);
    c_nc_tool_a = 0.0;
    c_last_form_flag = 0;
    c_nc_laser_on = 0;
    c_nc_laser_head_down = 0;
    c_nc_laser_off_comp = 0;
}

}  // namespace host::detail
