// comparison.cpp - matching the program's events with the job's.
//
// Both sides are walked in order, each pulled as far as the match needs: a
// few events ahead, never the whole program.  Where the heads differ, a
// short look ahead tells a changed event (the next ones match again) from
// events the program has in excess (a doubled block) or lacks (a deleted
// one); each difference is counted, the first few are told in full.
#include "verify/comparison.h"

#include <cmath>
#include <cstdio>
#include <vector>
#include <optional>

#include "nc/setup.h"
#include "verify/difference_log.h"
#include "verify/event_match.h"
#include "verify/job_warnings.h"
#include "verify/pending.h"

namespace verify {
namespace {

using nc::Event;
using nc::EventKind;

// How far ahead a difference is looked for on either side.
constexpr std::size_t LOOK_AHEAD = 8;

// The program's side: its events as the comparison looks at them.  The laser
// parameters go to their own check on the way, a line the dialect writes
// otherwise is a difference of its own, and what is not compared (the index
// turns, which the strokes carry; a positioning that stays where the tool
// stands, or that only places it for a command) is left out.
class ProgramSide {
public:
    ProgramSide(nc::Generator<Event> &program, const LaserParSection &section, const Tolerance &t, DifferenceLog &log,
                ComparisonResult &result, const nc::TextTable *texts)
        : program_(program), section_(section), t_(t), log_(log), result_(result), texts_(texts) {}

    // The next event that is compared.  A copy of a pattern is one event
    // whatever brought the tool to it: a positioning block right before a
    // copy at its place belongs to the call (the job may place its copies by
    // one repeat line, the program by single calls).
    bool next(Event &e) {
        if (!next_event(e)) return false;
        if (e.kind != EventKind::move || e.purpose != nc::MovePurpose::plain) return true;
        Event after;
        if (!next_event(after)) return true;
        if (after.kind == EventKind::copy && near(after.x, e.x) && near(after.y, e.y)) {
            --result_.events;
            e = after;
        } else {
            held_ = after;
        }
        return true;
    }

private:
    bool near(double a, double b) const { return std::fabs(a - b) <= t_.position; }
    // Where the tool stands is itself a place made of written values (after
    // a copy of a pattern, its origin and the body's words), and a block that
    // only means to leave it there writes it rounded once more: a positioning
    // that goes no farther than that goes nowhere.
    bool travels(const Event &e) const {
        const double nowhere = t_.composed + t_.half_unit;
        return std::fabs(e.x - e.x0) > nowhere || std::fabs(e.y - e.y0) > nowhere;
    }

    bool next_event(Event &e) {
        if (held_) {
            e = *held_;
            held_.reset();
            return true;
        }
        while (program_.next(e)) {
            if (e.kind == EventKind::parameter_line) {
                parameter_line(e);
                continue;
            }
            end_parameter_run();
            if (e.kind == EventKind::format) {
                log_.at_line(e.where.line, e.number == nc::FORMAT_AFTER_END
                                               ? "a line end follows the closing \"%\": the program ends with \"%\" alone"
                                               : "the line ends with a line feed alone: the control's blocks end with CR LF");
                continue;
            }
            if (e.kind == EventKind::index_turn) continue;
            if (e.kind == EventKind::move && (e.purpose == nc::MovePurpose::approach || !travels(e))) continue;
            if (e.kind == EventKind::pierce) check_parameters_before_cut(e);
            ++result_.events;
            return true;
        }
        end_parameter_run();
        return false;
    }

    // ---- The laser parameters: every run of them the whole section ----------------

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
        while (first_wrong < run_.size() && first_wrong < section_.lines.size() && run_[first_wrong].number >= 0 &&
               section_.lines[static_cast<std::size_t>(run_[first_wrong].number)] == section_.lines[first_wrong]) {
            ++first_wrong;
        }
        if (first_wrong == run_.size() && run_.size() == section_.lines.size()) {
            parameters_run_ = true;
            return;
        }
        const std::string section = "the section " + section_.header + " of " + section_.path;
        if (first_wrong < run_.size()) {
            const Event &wrong = run_[first_wrong];
            std::string what = "the laser parameters differ from " + section;
            what += first_wrong < section_.lines.size() ? " (its line " + std::to_string(first_wrong + 1) + " is \"" +
                                                              section_.lines[first_wrong] + "\")"
                                                        : " (it has " + std::to_string(section_.lines.size()) + " lines)";
            if (wrong.text >= 0 && texts_ != nullptr) what += ": \"" + texts_->text(wrong.text) + "\"";
            log_.at_line(wrong.where.line, what);
            return;
        }
        log_.at_line(run_start_, "the laser parameters here are " + std::to_string(run_.size()) + " of the " +
                                     std::to_string(section_.lines.size()) + " lines of " + section);
    }

    void check_parameters_before_cut(const Event &e) {
        if (parameters_run_ || !section_.found || section_.lines.empty()) return;
        log_.at_line(e.where.line, "the laser starts before the laser parameters (section " + section_.header + " of " +
                                       section_.path + ") have gone to the control");
    }

    nc::Generator<Event> &program_;
    const LaserParSection &section_;
    const Tolerance &t_;
    DifferenceLog &log_;
    ComparisonResult &result_;
    const nc::TextTable *texts_;
    std::optional<Event> held_;   // pulled to see whether it is a copy, not matched yet
    bool in_run_ = false;
    bool parameters_run_ = false;
    long long run_start_ = 0;
    std::vector<Event> run_;
};

// The job's next event; a move that goes nowhere is none.
bool next_job_event(nc::Generator<JobEvent> &job_events, JobEvent &e, double tolerance) {
    while (job_events.next(e)) {
        const Event &j = e.event;
        if (j.kind != EventKind::move || std::fabs(j.x - j.x0) > tolerance || std::fabs(j.y - j.y0) > tolerance) {
            return true;
        }
    }
    return false;
}

// What the post warned of about the laser parameter file, as it warned.
void section_warnings(const LaserParSection &section, DifferenceLog &log) {
    for (const std::string &w : section.warnings) log.warning(w);
    if (section.path.empty() || section.header_fits) return;  // not read: the program does not cut
    log.warning(section.readable ? "no section of the laser parameter file matches the sheet's material and thickness: " +
                                       section.path
                                 : "cannot open the laser parameter file: " + section.path);
}

}  // namespace

Tolerance program_tolerance(bool inch, double allowance_mm) {
    // The arithmetic of the two sides may land a place a hair beyond the
    // tolerance where the post put it right on it.
    constexpr double NOISE = 1e-9;
    Tolerance t;
    const double half_unit = inch ? 0.0005 * nc::MM_PER_INCH : 0.005;
    t.position = half_unit + allowance_mm + NOISE;
    t.composed = 2.0 * (half_unit + allowance_mm) + NOISE;
    t.half_unit = half_unit;
    t.angle = 0.01;
    t.feed = (inch ? 0.0005 : 0.005) + NOISE;
    t.time = 0.005 + NOISE;
    return t;
}

ComparisonResult compare(nc::Generator<nc::Event> &program, nc::Generator<JobEvent> &job_events,
                         const job::Job &job, const LaserParSection &section, const ComparisonOptions &options) {
    ComparisonResult result;
    DifferenceLog log(job, options, result);
    const EventMatch m(options.tolerance);
    ProgramSide side(program, section, options.tolerance, log, result, options.texts);
    for (const std::string &w : job_warnings(job)) log.warning(w);
    section_warnings(section, log);

    Pending<Event> a;          // the program's events pulled, not matched yet
    Pending<JobEvent> b;       // the job's
    bool a_ended = false, b_ended = false;
    auto fill = [&](std::size_t n) {
        while (!a_ended && a.size() < n) {
            Event e;
            if (side.next(e)) a.push_back(e);
            else a_ended = true;
        }
        while (!b_ended && b.size() < n) {
            JobEvent e;
            if (next_job_event(job_events, e, options.tolerance.position)) b.push_back(e);
            else b_ended = true;
        }
    };
    // Done with the program's head, matched to the job's.  (A nibbled path
    // that ends off its place as far as the rounding carries it is matched;
    // the warning of it is the job's, job_warnings.h.)
    auto matched = [&](const JobEvent &) {
        log.passed(a.front());
        a.pop_front();
    };
    auto extra = [&] {
        log.extra(a.front(), m.what_differs(a.front(), a.front()));
        log.passed(a.front());
        a.pop_front();
    };
    auto missing = [&](const Event *next) {
        log.missing(b.front(), next, m.what_differs(b.front().event, b.front().event));
        b.pop_front();
    };
    auto changed = [&] {
        log.changed(a.front(), b.front(), m.what_differs(a.front(), b.front().event));
        log.passed(a.front());
        a.pop_front();
        b.pop_front();
    };
    for (;;) {
        fill(1);
        if (a.empty() && b.empty()) break;
        if (a.empty()) {
            missing(nullptr);
            continue;
        }
        if (b.empty()) {
            extra();
            continue;
        }
        if (m.match(a.front(), b.front().event)) {
            matched(b.front());
            b.pop_front();
            continue;
        }
        // A job's arc the program cuts in pieces.
        // (A copy of the job's arc: pulling more events may move the queue.)
        if (const std::size_t pieces = arc_pieces(m, a, Event(b.front().event), fill); pieces > 0) {
            for (std::size_t i = 0; i < pieces; ++i) matched(b.front());
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
            changed();
            continue;
        }
        bool resolved = false;
        for (std::size_t k = 1; k <= LOOK_AHEAD && !resolved; ++k) {
            if (k < a.size() && m.match(a[k], b[0].event) && matches_on(k + 1, 1)) {
                for (std::size_t i = 0; i < k; ++i) extra();
                resolved = true;
            } else if (k < b.size() && m.match(a[0], b[k].event) && matches_on(1, k + 1)) {
                for (std::size_t i = 0; i < k; ++i) missing(&a.front());
                resolved = true;
            }
        }
        if (!resolved) changed();
    }
    log.finish();
    return result;
}

}  // namespace verify
