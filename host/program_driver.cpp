// program_driver.cpp - what the host does while the module writes a program:
// the modal NC state, the clamps, and the walk over the patterns and the
// sheet's work that calls the module's event hooks.
#include <cmath>
#include <cstdint>
#include <cstring>
#include <numbers>
#include <variant>

#include "host/control_rounding.h"
#include "host/host_state.h"
#include "host/laser_arc_pieces.h"
#include "host/punch_element_walk.h"
#include "host/pattern_walk.h"
#include "host/sheet_events.h"
#include "host/trace.h"
#include "interface/host_api.h"

namespace {

constexpr double RADIANS_PER_DEGREE = std::numbers::pi / 180.0;

bool is_work_list(const void *list) { return list == static_cast<const void *>(sl) || list == static_cast<const void *>(ol1); }

// Output has stopped: a hook answered stop, or the writer refused a flush
// (hooks without a result can only be caught that way).
bool stopped(int result) { return result > 0 || host::detail::session().refused; }

// The contour record of one laser element.
void build_contour_record(const job::LaserElement &e, char (&co)[CO_RECORD_SIZE]) {
    std::memset(co, 0, sizeof co);
    unsigned comp = 0;
    if (e.compensation != job::Compensation::none) {
        comp |= 1u;  // comp_on
        // Codes (a, b): (0, 0) cuts with "LAL/", (0, 1) with "LAR/".
        const unsigned code_a = 0;
        const unsigned code_b = e.compensation == job::Compensation::right ? 1u : 0u;
        comp |= code_a << 1;
        comp |= code_b << 3;
    }
    comp |= (static_cast<unsigned>(e.off_type) & 7u) << 5;
    co[CO_COMP_BYTE_AT] = static_cast<char>(comp);
    co[CO_ON_TYPE_BYTE_AT] = static_cast<char>(static_cast<unsigned>(e.on_type) & 7u);
    const std::int32_t tech = e.technology;
    std::memcpy(co + CO_TECH_NUMBER_AT, &tech, sizeof tech);
}

// ---- The walk of each kind of work step: one overload per kind ---------------

int walk(const job::Hit &hit, const job::Job &) {
    const job::Station *station = host::detail::find_station(hit.tool);
    const int indexable = station != nullptr && station->indexable ? 1 : 0;
    const double angle = hit.angle * RADIANS_PER_DEGREE;
    const int flag = hit.position_only ? 1 : 0;
    const int result = (*pp_hit)(hit.x, hit.y, hit.tool, indexable, angle, 0, flag);
    HOST_TRACE("pp_hit(%.10g, %.10g, %d, %d, %.10g, 0, %d) -> %d", hit.x, hit.y, hit.tool, indexable, angle,
               flag, result);
    return result;
}

int walk(const job::Movement &move, const job::Job &) {
    HOST_TRACE("pp_movement(%.10g, %.10g)", move.x, move.y);
    (*pp_movement)(move.x, move.y);
    return 0;
}

// One arc of a contour, in the pieces the control cuts where the job has it.
// Every piece but the last goes on with the cut.
int walk_laser_arc(const job::LaserElement &e) {
    const std::vector<host::detail::ArcPoint> points = host::detail::laser_arc_pieces(e);
    const std::size_t pieces = points.size() - 1;
    if (pieces > 1) {
        HOST_TRACE("%s: the arc as written would be cut more than %.4g mm off: %u pieces",
                   host::detail::step_path().c_str(), host::detail::laser_path_tolerance(),
                   static_cast<unsigned>(pieces));
    }
    const int dir = e.counter_clockwise ? 1 : -1;
    for (std::size_t k = 0; k < pieces; ++k) {
        job::LaserElement piece = e;
        if (k + 1 < pieces) piece.off_type = 0;
        char co[CO_RECORD_SIZE];
        build_contour_record(piece, co);
        const host::detail::ArcPoint a = points[k], b = points[k + 1];
        const int result = (*pp_laser_arc)(a.x, a.y, b.x, b.y, e.xc, e.yc, dir, co);
        HOST_TRACE("pp_laser_arc(%.10g, %.10g, %.10g, %.10g, %.10g, %.10g, %d, co) -> %d", a.x, a.y, b.x, b.y,
                   e.xc, e.yc, dir, result);
        if (stopped(result)) return 1;
        // The arc ends on its end as written, a value from the origin.
        if (pieces > 1 || !(std::fabs(e.x2 - e.x1) < 1e-6 && std::fabs(e.y2 - e.y1) < 1e-6)) host::detail::back_on_grid();
    }
    return 0;
}

int walk(const job::LaserContour &contour, const job::Job &job) {
    for (const job::LaserElement &e : job.elements(contour)) {
        if (e.kind == job::LaserElement::Kind::arc) {
            if (walk_laser_arc(e) != 0) return 1;
            continue;
        }
        char co[CO_RECORD_SIZE];
        build_contour_record(e, co);
        const int result = (*pp_laser_line)(e.x1, e.y1, e.x2, e.y2, co);
        HOST_TRACE("pp_laser_line(%.10g, %.10g, %.10g, %.10g, co) -> %d", e.x1, e.y1, e.x2, e.y2, result);
        if (stopped(result)) return 1;
    }
    return 0;
}

int walk(const job::PunchElementStep &step, const job::Job &job) {
    return host::detail::walk_punch_element(job.element(step));
}
// ---- Sheet events ----
int walk(const job::SheetStop &, const job::Job &) { return host::detail::run_sheet_stop(); }
// The door opens at its distance from where the job has the tool, which may
// lie a rounding away from where the control has it.
int walk(const job::TrapDoor &t, const job::Job &) {
    const host::detail::Session &s = host::detail::session();
    return host::detail::run_trap_door(t.dx + (s.job_x - c_nc_x), t.dy + (s.job_y - c_nc_y), t.kind);
}
int walk(const job::TabBreak &, const job::Job &) { return host::detail::run_tab_break(); }
int walk(const job::SheetNcText &t, const job::Job &job) { return host::detail::run_sheet_nc(job.text(t)); }
int walk(const job::SheetFeed &f, const job::Job &) { return host::detail::run_sheet_feedrate(f.feed); }
int walk(const job::Dwell &d, const job::Job &) { return host::detail::run_sheet_dwell(d.time); }
int walk(const job::SheetMove &m, const job::Job &) { return host::detail::run_sheet_move(m.x, m.y); }
int walk(const job::Reposition &r, const job::Job &) {
    return host::detail::run_reposition(r.x, r.y, r.dx, r.clamp_travel);
}
int walk(const job::FlipSheet &, const job::Job &) { return host::detail::run_flip(); }
int walk(const job::TurnSheet &t, const job::Job &) { return host::detail::run_turn(t.kind); }

// ---- Patterns: single and repeated calls, and the definitions ----------------

int walk(const job::PatternCall &call, const job::Job &job);
int walk(const job::PatternRepeat &repeat, const job::Job &job);

// One operation, then what it left pending is kept within bounds.  A call
// of a pattern notes where the job has the tool itself.
int walk_operation(const job::Operation &op, const job::Job &job) {
    const int result = std::visit([&job](const auto &step) { return walk(step, job); }, op);
    if (stopped(result)) return 1;
    if (!std::holds_alternative<job::PatternCall>(op) && !std::holds_alternative<job::PatternRepeat>(op)) {
        host::detail::Session &s = host::detail::session();
        host::detail::step_end_point(op, job, s.job_x, s.job_y);
    }
    return host::detail::limit_pending_text();
}

// The host's number of a pattern: the patterns follow the program's number,
// so the control shows the job's number.  False (reported) when it does not
// fit the host's int.
bool host_pattern_number(const job::Pattern &pattern, int &number) {
    const long long wide = static_cast<long long>(c_program_number) + 1 + pattern.number;
    if (wide > INT32_MAX || wide < INT32_MIN) {
        prerr(1, "", "the pattern number does not fit after the program number", pattern.name.c_str());
        return false;
    }
    number = static_cast<int>(wide);
    return true;
}

// The job's pattern that a call names, or null (reported) for a call the
// host cannot make: an unknown pattern, or a call inside a pattern body.
const job::Pattern *called_pattern(std::size_t index, const job::Job &job) {
    if (c_nc_in_sub != 0) {
        prerr(1, "", "a pattern cannot call a pattern", "");
        return nullptr;
    }
    if (index >= job.patterns.size()) {
        prerr(1, "", "the work calls a pattern the job does not define", "");
        return nullptr;
    }
    return &job.patterns[index];
}

// A program in any style but 0 holds no definitions: the control runs the
// ones it holds.  A body that punches and cuts is called with its punch in
// place, and that call does not send the laser parameters its cut needs:
// the host has them written ahead of it.
void send_laser_parameters_for(const host::detail::PatternEntry &entry) {
    if (!entry.cuts || entry.laser || c_nc_sub_type == 0) return;
    gen_nc_laser_enable();
}

int call_pattern(const job::Pattern &pattern, const job::Job &job, int number, double x, double y) {
    const host::detail::PatternEntry &entry = host::detail::pattern_facts(pattern, job).entry;
    send_laser_parameters_for(entry);
    const int result = (*pp_sub_call)(entry.tool, x, y, entry.angle, entry.indexable, number);
    HOST_TRACE("pp_sub_call(%d, %.10g, %.10g, %.10g, %d, %d) -> %d", entry.tool, x, y, entry.angle,
               entry.indexable, number, result);
    // The copy's origin is where the call's words put it, as written.
    host::detail::take_pattern_exit(pattern, job, host::detail::written_distance(x), host::detail::written_distance(y), x,
                                    y);
    return result;
}

int walk(const job::PatternCall &call, const job::Job &job) {
    const job::Pattern *pattern = called_pattern(call.pattern, job);
    int number = 0;
    if (pattern == nullptr || !host_pattern_number(*pattern, number)) return 1;
    return call_pattern(*pattern, job, number, call.x, call.y);
}

// A repeat places copy k at one pitch before the first copy, as the offset
// block writes it, plus k + 1 pitches as the repeat line writes them; an
// axis whose pitch is within 1e-6 of zero is left out of the line.
double repeat_axis(double first, double pitch, int copy) {
    const double offset = host::detail::written_distance(first - pitch);
    if (std::fabs(pitch) < 1e-6) return offset;
    return offset + std::copysign(host::detail::written_distance(std::fabs(pitch)), pitch) * (copy + 1);
}

// How far from its place copy `copy` of a repeat from the copy at (x, y)
// lands, in X and in Y.
bool copy_fits(const job::PatternRow &row, double x, double y, int copy) {
    return host::detail::within_tolerance(repeat_axis(x, row.dx, copy) - (x + row.dx * copy),
                                          repeat_axis(y, row.dy, copy) - (y + row.dy * copy));
}

int repeat_pattern(const job::Pattern &pattern, const job::PatternRow &row, const job::Job &job, int number,
                   int first, int count) {
    const host::detail::PatternEntry &entry = host::detail::pattern_facts(pattern, job).entry;
    const double x = row.x + row.dx * first, y = row.y + row.dy * first;
    send_laser_parameters_for(entry);
    const int result = (*pp_sub_rep_call)(entry.tool, x, y, entry.angle, entry.indexable, number, row.dx, row.dy,
                                          count);
    HOST_TRACE("pp_sub_rep_call(%d, %.10g, %.10g, %.10g, %d, %d, %.10g, %.10g, %d) -> %d", entry.tool, x, y,
               entry.angle, entry.indexable, number, row.dx, row.dy, count, result);
    // Without a pitch the control places one copy, at (x, y) as written.
    if (std::fabs(row.dx) < 1e-6 && std::fabs(row.dy) < 1e-6) {
        host::detail::take_pattern_exit(pattern, job, host::detail::written_distance(x), host::detail::written_distance(y),
                                        x, y);
    } else {
        host::detail::take_pattern_exit(pattern, job, repeat_axis(x, row.dx, count - 1),
                                        repeat_axis(y, row.dy, count - 1), x + row.dx * (count - 1),
                                        y + row.dy * (count - 1));
    }
    return result;
}

int walk(const job::PatternRepeat &repeat, const job::Job &job) {
    if (repeat.row >= job.pattern_rows.size()) {
        prerr(1, "", "the work repeats a row of pattern copies the job does not hold", "");
        return 1;
    }
    const job::PatternRow &row = job.pattern_rows[repeat.row];
    const job::Pattern *pattern = called_pattern(row.pattern, job);
    int number = 0;
    if (pattern == nullptr || !host_pattern_number(*pattern, number)) return 1;

    // One repeat line, unless the pitch as written would carry a copy too
    // far: then the longest runs whose copies all fit, and the copies
    // between them as single calls.
    // A repeat of one copy is placed by its offset and pitch as well, each
    // rounded: it must fit too, or be a single call.
    const auto fits = [&row](int first, int count) {
        const double x = row.x + row.dx * first, y = row.y + row.dy * first;
        return copy_fits(row, x, y, 0) && copy_fits(row, x, y, count - 1);
    };
    const bool no_pitch = std::fabs(row.dx) < 1e-6 && std::fabs(row.dy) < 1e-6;
    if (no_pitch || fits(0, row.count)) return repeat_pattern(*pattern, row, job, number, 0, row.count);
    HOST_TRACE("%s: one repeat line would put a copy more than %.4g mm off: split",
               host::detail::step_path().c_str(), host::detail::stroke_tolerance());
    for (int first = 0; first < row.count;) {
        const int count = host::detail::longest_run(row.count - first, [&](int n) { return fits(first, n); });
        const int result = count >= 2 ? repeat_pattern(*pattern, row, job, number, first, count)
                                      : call_pattern(*pattern, job, number, row.x + row.dx * first,
                                                     row.y + row.dy * first);
        if (stopped(result)) return 1;
        first += count;
    }
    return 0;
}

// One definition: header, the body through the same walk as the main body,
// end line.  1 as soon as a hook answers stop or the writer refused.
int write_pattern(std::size_t index, const job::Job &job) {
    const job::Pattern &pattern = job.patterns[index];
    int number = 0;
    if (!host_pattern_number(pattern, number)) return 1;
    using Part = host::StepPlace::Part;
    host::detail::drive({Part::pattern, 0, index});
    host::detail::begin_pattern_body(pattern, job);
    int result = (*pp_sub_begin)(number);
    HOST_TRACE("pp_sub_begin(%d) -> %d", number, result);
    if (stopped(result)) return 1;
    for (std::size_t i = 0; i < pattern.body.size(); ++i) {
        host::detail::drive({Part::pattern_step, static_cast<std::uint32_t>(i), index});
        if (stopped(walk_operation(pattern.body[i], job))) return 1;
    }
    host::detail::drive({Part::pattern, 0, index});
    result = (*pp_sub_end)(number);
    HOST_TRACE("pp_sub_end(%d) -> %d", number, result);
    c_nc_in_sub = 0;
    return stopped(result) ? 1 : 0;
}

}  // namespace

extern "C" {

void init_pp_variables(void) {
    HOST_TRACE("init_pp_variables()");
    c_nc_tool = 0;
    c_nc_tool_a = 0.0;
    c_nc_absolute = 1;
    c_nc_laser_on = 0;
    c_nc_laser_head_down = 0;
    c_nc_laser_off_comp = 0;
    c_nc_in_sub = 0;
    c_last_form_flag = 0;
    c_nc_x = c_load_pos_x;
    c_nc_y = c_load_pos_y;
}

double get_clamp_pos(int i) {
    const std::span<const double> clamps = host::detail::session().clamps;
    const double position = i >= 0 && static_cast<std::size_t>(i) < clamps.size() ? clamps[static_cast<std::size_t>(i)] : 0.0;
    HOST_TRACE("get_clamp_pos(%d) -> %.10g", i, position);
    return position;
}

int gen_nc_output_all_subs(void *list) {
    if (!is_work_list(list)) {
        prerr(1, "", "the pattern list is not one of the host's work lists", "");
        HOST_TRACE("gen_nc_output_all_subs(list) -> 1");
        return 1;
    }
    int result = 0;
    const job::Job *j = host::detail::session().job;
    if (j != nullptr) {
        for (std::size_t i = 0; i < j->patterns.size(); ++i) {
            if (write_pattern(i, *j) != 0) {
                result = 1;
                break;
            }
        }
    }
    host::detail::drive({host::StepPlace::Part::header, 0, 0});
    // A pattern cut short (the user stopped at the limit warning, or a hook
    // answered stop) must not be followed by a body that calls it: the
    // output has stopped, and every later flush is refused.  The program
    // frame learns of it at its next flush, whether it reads this result or
    // not.
    if (result != 0) host::detail::session().refused = true;
    HOST_TRACE("gen_nc_output_all_subs(list) -> %d", result);
    return result;
}

int gen_nc_short_sims(void *list) {
    if (!is_work_list(list)) {
        prerr(1, "", "the work list is not one of the host's work lists", "");
        HOST_TRACE("gen_nc_short_sims(list) -> 1");
        return 1;
    }
    int result = 0;
    const job::Job *j = host::detail::session().job;
    // The body starts where the program put the sheet.
    host::detail::session().job_x = c_nc_x;
    host::detail::session().job_y = c_nc_y;
    if (j != nullptr) {
        for (std::size_t i = 0; i < j->work.size(); ++i) {
            host::detail::drive({host::StepPlace::Part::work_step, 0, i});
            if (stopped(walk_operation(j->work[i], *j))) {
                result = 1;
                break;
            }
        }
    }
    host::detail::drive({host::StepPlace::Part::trailer, 0, 0});
    HOST_TRACE("gen_nc_short_sims(list) -> %d", result);
    return result;
}

}  // extern "C"

namespace host {

int run_program(const job::Job &job, NcWriter &writer) {
    apply_job(job);
    // A program starts on an empty line buffer with the sheet where it was
    // loaded.
    c_nc_buff[0] = '\0';
    c_done_repos_flag = 0;
    current_repos_x = 0.0;
    c_repos_y = 0.0;
    detail::Session &s = detail::session();
    s.place = StepPlace{};
    s.pending_bytes = 0;
    s.next_line = 1;
    s.line_open = false;
    s.job_x = job.machine.load_x;
    s.job_y = job.machine.load_y;
    set_writer(&writer);
    const int result = (*pp_main)();
    HOST_TRACE("pp_main() -> %d", result);
    // A refused flush is a failed run whatever the hook answered.
    return result > 0 || detail::session().refused ? 1 : 0;
}

}  // namespace host
