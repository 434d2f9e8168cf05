// comparison.cpp - matching the program's events with the job's.
//
// Both sides are walked in order, each pulled as far as the match needs: a
// few events ahead, never the whole program.  Where the heads differ, a
// short look ahead tells a changed event (the next ones match again) from
// events the program has in excess (a doubled block) or lacks (a deleted
// one); each difference is counted, the first few are told in full.
#include "verify/comparison.h"

#include <cmath>
#include <deque>
#include <optional>

#include "nc/setup.h"
#include "verify/event_text.h"

namespace verify {
namespace {

using nc::Event;
using nc::EventKind;

// How far ahead a difference is looked for on either side.
constexpr std::size_t LOOK_AHEAD = 8;
// Arcs: the sweep as the program writes it may differ by rounding; a long
// arc written as the short one differs by far more.
constexpr double SWEEP_TOLERANCE = 0.5;

bool near(double a, double b, double tolerance) { return std::fabs(a - b) <= tolerance; }

bool near_point(double x1, double y1, double x2, double y2, double tolerance) {
    return near(x1, x2, tolerance) && near(y1, y2, tolerance);
}

// Angles of the index: 360 and 0 are the same place.
bool near_angle(double a, double b, double tolerance) {
    double d = std::fmod(std::fabs(a - b), 360.0);
    if (d > 180.0) d = 360.0 - d;
    return d <= tolerance;
}

class Matcher {
public:
    Matcher(const job::Job &job, const LaserParSection &section, const ComparisonOptions &options,
            ComparisonResult &result)
        : job_(job), section_(section), options_(options), t_(options.tolerance), result_(result) {}

    bool same_tool(const Event &a, const Event &b) const {
        if (a.tool.station != b.tool.station) return false;
        if ((b.checks & nc::CHECK_ANGLE) != 0 && !near_angle(a.tool.angle, b.tool.angle, t_.angle)) return false;
        if ((b.checks & nc::CHECK_MODES) != 0 && (a.tool.forming != b.tool.forming || a.tool.m61x != b.tool.m61x)) {
            return false;
        }
        return true;
    }

    bool same_technology(const nc::Technology &a, const nc::Technology &b) const {
        return a.head == b.head && a.m7x == b.m7x && a.mode == b.mode && a.s == b.s && near(a.feed, b.feed, t_.feed) &&
               a.compensation == b.compensation;
    }

    // a: the program's, b: the job's.
    bool match(const Event &a, const Event &b) const {
        if (a.kind != b.kind) return false;
        const double p = a.where.call_line != 0 || a.kind == EventKind::nibble ? t_.composed : t_.position;
        switch (a.kind) {
        case EventKind::stroke: return near_point(a.x, a.y, b.x, b.y, p) && same_tool(a, b);
        case EventKind::nibble:
            if ((a.shape == nc::Shape::line) != (b.shape == nc::Shape::line)) return false;
            if (!near_point(a.x0, a.y0, b.x0, b.y0, p) || !near_point(a.x, a.y, b.x, b.y, p)) return false;
            if (a.step > b.step + p || !same_tool(a, b)) return false;
            if (a.shape == nc::Shape::line) return true;
            return near_point(a.xc, a.yc, b.xc, b.yc, p) && near(a.radius, b.radius, p) &&
                   near(a.sweep, b.sweep, SWEEP_TOLERANCE);
        case EventKind::pierce:
            return near_point(a.x, a.y, b.x, b.y, p) && same_technology(a.technology, b.technology);
        case EventKind::laser:
            if (a.shape != b.shape || !near(a.technology.feed, b.technology.feed, t_.feed)) return false;
            if (!near_point(a.x0, a.y0, b.x0, b.y0, p) || !near_point(a.x, a.y, b.x, b.y, p)) return false;
            if (a.shape == nc::Shape::circle) return near_point(a.xc, a.yc, b.xc, b.yc, p) && (a.sweep > 0) == (b.sweep > 0);
            if (a.shape == nc::Shape::arc) return near(a.radius, b.radius, p) && near(a.sweep, b.sweep, SWEEP_TOLERANCE);
            return true;
        case EventKind::cut_end: return true;
        case EventKind::move:
            if (!near_point(a.x, a.y, b.x, b.y, p) || a.purpose != b.purpose) return false;
            return (b.checks & nc::CHECK_TOOL) == 0 || same_tool(a, b);
        // Which copy of its call it is depends on how the calls are written
        // (one repeat line, or shorter ones): the place tells.
        case EventKind::copy: return a.number == b.number && near_point(a.x, a.y, b.x, b.y, p);
        case EventKind::stop: return (b.checks & nc::CHECK_NOTE) == 0 || a.number == 1;
        case EventKind::regrip:
            if (a.number != b.number || !near_point(a.x0, a.y0, b.x0, b.y0, p) || !near(a.value, b.value, p)) return false;
            return a.number == 1 || (near(a.value2, 0.0, p) && near(a.value3, b.value3, p));
        case EventKind::frame: return near(a.x, b.x, p);
        case EventKind::trap_door: return near_point(a.x, a.y, b.x, b.y, p);
        case EventKind::dwell: return near(a.value, b.value, t_.time);
        case EventKind::feed_range: return a.number == b.number;
        case EventKind::sheet:
            return a.number == b.number && near(a.value, b.value, p) && near(a.x, b.x, p) && near(a.value2, b.value2, p);
        case EventKind::parameter_line:
        case EventKind::tool_change:
        case EventKind::index_turn: return true;
        }
        return false;
    }

    // ---- Pulling the two sides, without what is not compared ----------------------

    // The program's next event that is compared.  A copy of a pattern is one
    // event whatever brought the tool to it: a positioning block right before
    // a copy at its place belongs to the call (the job may place its copies
    // by one repeat line, the program by single calls).
    bool pull_program(nc::Generator<Event> &program, Event &e) {
        if (!pull_program_event(program, e)) return false;
        if (e.kind != EventKind::move || e.purpose != nc::MovePurpose::plain) return true;
        Event after;
        if (!pull_program_event(program, after)) return true;
        if (after.kind == EventKind::copy && near_point(after.x, after.y, e.x, e.y, t_.position)) {
            --result_.events;
            e = after;
        } else {
            held_ = after;
        }
        return true;
    }

    // The program's next event that is compared, before the copies are
    // joined with their positioning; the laser parameters go to their own
    // check on the way.
    bool pull_program_event(nc::Generator<Event> &program, Event &e) {
        if (held_) {
            e = *held_;
            held_.reset();
            return true;
        }
        while (program.next(e)) {
            if (e.kind == EventKind::parameter_line) {
                parameter_line(e);
                continue;
            }
            end_parameter_run();
            if (e.kind == EventKind::tool_change || e.kind == EventKind::index_turn) continue;
            if (e.kind == EventKind::move && (e.purpose == nc::MovePurpose::approach || !travels(e))) continue;
            if (e.kind == EventKind::pierce) check_parameters_before_cut(e);
            ++result_.events;
            return true;
        }
        end_parameter_run();
        return false;
    }

    // The job's next event; a move that goes nowhere is none.
    static bool pull_job(nc::Generator<JobEvent> &job_events, JobEvent &e, double tolerance) {
        while (job_events.next(e)) {
            const Event &j = e.event;
            if (j.kind != EventKind::move || !near_point(j.x, j.y, j.x0, j.y0, tolerance)) return true;
        }
        return false;
    }

    bool travels(const Event &e) const { return !near_point(e.x, e.y, e.x0, e.y0, t_.position); }

    // ---- The laser parameters ----------------------------------------------------------

    void parameter_line(const Event &e) {
        if (!in_run_) {
            in_run_ = true;
            run_.clear();
            run_start_ = e.where.line;
        }
        run_.push_back(e);
    }

    void end_parameter_run() {
        if (!in_run_) return;
        in_run_ = false;
        // A line stands for its text: a section may hold the same text twice.
        std::size_t first_wrong = 0;
        while (first_wrong < run_.size() && first_wrong < section_.lines.size() &&
               section_.lines[static_cast<std::size_t>(run_[first_wrong].number)] == section_.lines[first_wrong]) {
            ++first_wrong;
        }
        const bool whole = first_wrong == run_.size() && run_.size() == section_.lines.size();
        if (whole) {
            parameters_run_ = true;
            return;
        }
        auto lines = [](std::size_t n) { return std::to_string(n) + (n == 1 ? " line" : " lines"); };
        std::string what = "the laser parameters here (" + lines(run_.size()) + ") are not the section " + section_.header +
                           " of " + section_.path + " (" + lines(section_.lines.size()) + ")";
        if (first_wrong < run_.size()) what += "; the first that differs is at line " + std::to_string(run_[first_wrong].where.line);
        difference(run_start_, what);
    }

    void check_parameters_before_cut(const Event &e) {
        if (parameters_run_ || !section_.found || section_.lines.empty()) return;
        difference(e.where.line, "the laser starts before the laser parameters (section " + section_.header + " of " +
                                     section_.path + ") have gone to the control");
    }

    // ---- Telling the differences --------------------------------------------------------

    std::string line_text(long long line) const {
        std::string text = "line " + std::to_string(line);
        if (options_.line_name) {
            const std::string name = options_.line_name(line);
            if (!name.empty()) text += " (written for " + name + ")";
        }
        return text;
    }

    std::string program_text(const Event &e, bool with_angle) const {
        std::string text = line_text(e.where.line);
        if (e.where.call_line != 0) text += ", in the copy called at line " + std::to_string(e.where.call_line);
        return text + ": " + event_text(e, job_.machine.inch, with_angle);
    }

    std::string job_text(const JobEvent &e) const {
        return "the job's " + place_name(e.place, job_) + ": " +
               event_text(e.event, job_.machine.inch, (e.event.checks & nc::CHECK_ANGLE) != 0);
    }

    void difference(long long line, const std::string &what) { tell(line_text(line) + ": " + what, DifferencePlace{line}); }
    void tell(const std::string &message, const DifferencePlace &place) {
        ++result_.differences;
        if (result_.messages.size() < options_.messages) {
            result_.messages.push_back(message);
            result_.places.push_back(place);
        }
    }
    static DifferencePlace place_of(const Event &e, long long line) { return DifferencePlace{line, true, e.x, e.y}; }

    void changed(const Event &a, const JobEvent &b) {
        tell(program_text(a, (b.event.checks & nc::CHECK_ANGLE) != 0) + "; " + job_text(b), place_of(a, a.where.line));
    }
    void extra(const Event &a) {
        tell(program_text(a, a.tool.angle != 0.0) + ", which the job does not have", place_of(a, a.where.line));
    }
    void missing(const JobEvent &b, const Event *next) {
        std::string where = last_line_ > 0 ? " after line " + std::to_string(last_line_) : " at the start";
        where += next != nullptr ? ", before line " + std::to_string(next->where.line) : ", at the end";
        tell(job_text(b) + " is not in the program: it would come" + where,
             place_of(b.event, next != nullptr ? next->where.line : last_line_));
    }
    // The program's event a is done with (matched, changed or extra).
    void passed(const Event &a) { last_line_ = a.where.line; }

private:
    const job::Job &job_;
    const LaserParSection &section_;
    const ComparisonOptions &options_;
    const Tolerance t_;
    ComparisonResult &result_;
    std::optional<Event> held_;   // pulled to see whether it is a copy, not matched yet
    bool in_run_ = false;
    bool parameters_run_ = false;
    long long run_start_ = 0;
    std::vector<Event> run_;
    long long last_line_ = 0;   // the line of the program's last event done with
};

}  // namespace

Tolerance program_tolerance(bool inch, double allowance_mm) {
    Tolerance t;
    const double half_unit = inch ? 0.0005 * nc::MM_PER_INCH : 0.005;
    t.position = half_unit + allowance_mm;
    t.composed = 2.0 * half_unit + allowance_mm;
    t.angle = 0.01;
    t.feed = (inch ? 0.0005 : 0.005) + 1e-9;
    t.time = 0.005 + 1e-9;
    return t;
}

ComparisonResult compare(nc::Generator<nc::Event> &program, nc::Generator<JobEvent> &job_events,
                         const job::Job &job, const LaserParSection &section, const ComparisonOptions &options) {
    ComparisonResult result;
    Matcher m(job, section, options, result);
    std::deque<Event> a;       // the program's events pulled, not matched yet
    std::deque<JobEvent> b;    // the job's
    bool a_ended = false, b_ended = false;
    const double tolerance = options.tolerance.position;
    auto fill = [&](std::size_t n) {
        while (!a_ended && a.size() < n) {
            Event e;
            if (m.pull_program(program, e)) a.push_back(e);
            else a_ended = true;
        }
        while (!b_ended && b.size() < n) {
            JobEvent e;
            if (Matcher::pull_job(job_events, e, tolerance)) b.push_back(e);
            else b_ended = true;
        }
    };
    for (;;) {
        fill(1);
        if (a.empty() && b.empty()) break;
        if (a.empty()) {
            m.missing(b.front(), nullptr);
            b.pop_front();
            continue;
        }
        if (b.empty()) {
            m.extra(a.front());
            m.passed(a.front());
            a.pop_front();
            continue;
        }
        if (m.match(a.front(), b.front().event)) {
            m.passed(a.front());
            a.pop_front();
            b.pop_front();
            continue;
        }
        // The heads differ: a changed event, or some in excess or lacking.
        fill(LOOK_AHEAD + 2);
        auto matches_on = [&](std::size_t i, std::size_t j) {
            if (i >= a.size() || j >= b.size()) return i >= a.size() && j >= b.size();
            return m.match(a[i], b[j].event);
        };
        if (a.size() > 1 && b.size() > 1 && matches_on(1, 1)) {
            m.changed(a.front(), b.front());
            m.passed(a.front());
            a.pop_front();
            b.pop_front();
            continue;
        }
        bool resolved = false;
        for (std::size_t k = 1; k <= LOOK_AHEAD && !resolved; ++k) {
            if (k < a.size() && m.match(a[k], b[0].event) && matches_on(k + 1, 1)) {
                for (std::size_t i = 0; i < k; ++i) {
                    m.extra(a.front());
                    m.passed(a.front());
                    a.pop_front();
                }
                resolved = true;
            } else if (k < b.size() && m.match(a[0], b[k].event) && matches_on(1, k + 1)) {
                for (std::size_t i = 0; i < k; ++i) {
                    m.missing(b.front(), &a.front());
                    b.pop_front();
                }
                resolved = true;
            }
        }
        if (!resolved) {
            m.changed(a.front(), b.front());
            m.passed(a.front());
            a.pop_front();
            b.pop_front();
        }
    }
    return result;
}

}  // namespace verify
