// comparison.cpp - matching two programs' events.
#include "diff/comparison.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <map>
#include <utility>

#include "diff/order_pool.h"
#include "diff/work_match.h"
#include "nc/block_parser.h"
#include "nc/setup.h"
#include "verify/difference_tally.h"
#include "verify/event_match.h"
#include "verify/event_text.h"
#include "verify/pending.h"

namespace diff {
namespace {

using nc::Event;
using nc::EventKind;

// How far ahead a difference is looked for on either side.
constexpr std::size_t LOOK_AHEAD = 8;
// Without --any-order, events put aside beyond this many are told as they
// stand: a program wholly unlike the other is not held in memory.
constexpr std::size_t MOST_PUT_ASIDE = 100000;

// The events pulled from one side and not yet done with.
using EventQueue = verify::Pending<Event>;

// The work of a sheet grip ends at these: the order of what stands on
// either side of them counts even with --any-order.
bool ends_a_grip(const Event &e) {
    return e.kind == EventKind::regrip || e.kind == EventKind::stop || e.kind == EventKind::program_end;
}

// The kinds in words, one and many.
const char *kind_name(EventKind kind, bool many) {
    switch (kind) {
    case EventKind::stroke: return many ? "strokes" : "stroke";
    case EventKind::nibble: return many ? "nibbled paths" : "nibbled path";
    case EventKind::pierce: return many ? "laser starts" : "laser start";
    case EventKind::laser: return many ? "laser elements" : "laser element";
    case EventKind::cut_end: return many ? "cut ends" : "cut end";
    case EventKind::move: return many ? "positionings" : "positioning";
    case EventKind::trap_door: return many ? "trap doors" : "trap door";
    case EventKind::dwell: return many ? "dwells" : "dwell";
    case EventKind::head_up: return many ? "head lifts" : "head lift";
    case EventKind::user_text: return many ? "free NC texts" : "free NC text";
    default: return many ? "other events" : "other event";
    }
}

std::string count_of(long long n, EventKind kind) {
    return n == 1 ? std::string("1 ") + kind_name(kind, false) : std::to_string(n) + " " + kind_name(kind, true);
}

// The same work in another order within one stretch: how much of it, and
// where it starts and ends in each program.
struct Reordered {
    std::map<EventKind, long long> kinds;
    long long events = 0;
    long long first_old = 0, first_new = 0, last_old = 0, last_new = 0;

    void add(const Event &a, const Event &b) {
        ++kinds[a.kind];
        if (events++ == 0) {
            first_old = a.where.line;
            first_new = b.where.line;
        }
        first_old = std::min(first_old, a.where.line);
        first_new = std::min(first_new, b.where.line);
        last_old = std::max(last_old, a.where.line);
        last_new = std::max(last_new, b.where.line);
    }
};

class Comparison {
public:
    Comparison(EventSource &a, EventSource &b, const Program &pa, const Program &pb, const nc::TextTable &texts,
               const Options &o, Result &r)
        : a_side_(a), b_side_(b), pa_(pa), pb_(pb), texts_(texts), o_(o), r_(r), m_(pa.tolerance, pb.tolerance),
          tally_(r.differences, r.messages, r.places, o.messages), pool_a_(m_.widest()), pool_b_(m_.widest()) {}

    void run() {
        compare_headers();
        for (;;) {
            fill_a(1);
            fill_b(1);
            if (a_.empty() && b_.empty()) break;
            if (a_.empty() || b_.empty()) {
                one_side_left();
                continue;
            }
            step();
            if (!o_.any_order && pool_a_.size() + pool_b_.size() > MOST_PUT_ASIDE) end_stretch();
        }
        end_stretch();
        tally_.finish();
    }

private:
    // ---- The two sides ---------------------------------------------------------------
    static void fill(EventSource &side, EventQueue &events, bool &ended, std::size_t n) {
        while (!ended && events.size() < n) {
            events.emplace_back();
            if (!side.next(events.back())) {
                events.pop_back();
                ended = true;
            }
        }
    }
    void fill_a(std::size_t n) { fill(a_side_, a_, a_ended_, n); }
    void fill_b(std::size_t n) { fill(b_side_, b_, b_ended_, n); }
    void pop_a() {
        a_line_ = a_.front().where.line;
        a_.pop_front();
    }
    void pop_b() {
        b_line_ = b_.front().where.line;
        b_.pop_front();
    }

    // ---- One step: the heads matched, or told apart --------------------------------------
    void step() {
        const Event &x = a_.front(), &y = b_.front();
        if (m_.match(x, y)) {
            if (ends_a_grip(x)) end_stretch();
            matched(x, y);
            pop_a();
            pop_b();
            return;
        }
        if (arc_in_pieces()) return;
        if (late_like_a() || late_like_b()) return;
        fill_a(LOOK_AHEAD + 2);
        fill_b(LOOK_AHEAD + 2);
        const auto matches_on = [&](std::size_t i, std::size_t j) {
            if (i >= a_.size() || j >= b_.size()) return i >= a_.size() && j >= b_.size();
            return m_.match(a_[i], b_[j]);
        };
        if (a_.size() > 1 && b_.size() > 1 && matches_on(1, 1)) {
            // Told at once, unless some are put aside: then told with them,
            // in the order of the lines.
            if (pool_a_.size() + pool_b_.size() == 0) {
                changed(a_.front(), b_.front());
                pop_a();
                pop_b();
            } else {
                put_aside_both();
            }
            return;
        }
        // The events skipped to go on in order are put aside, unless their
        // like was put aside on the other side before.
        for (std::size_t k = 1; k <= LOOK_AHEAD; ++k) {
            if (k < a_.size() && m_.match(a_[k], b_[0]) && matches_on(k + 1, 1)) {
                for (std::size_t i = 0; i < k; ++i) {
                    if (!late_like_a()) put_aside_a(-1);
                }
                return;
            }
            if (k < b_.size() && m_.match(a_[0], b_[k]) && matches_on(1, k + 1)) {
                for (std::size_t i = 0; i < k; ++i) {
                    if (!late_like_b()) put_aside_b(-1);
                }
                return;
            }
        }
        // Two heads that differ and no way on in order: both put aside,
        // partners, in case nothing like either comes later.
        put_aside_both();
    }

    void put_aside_both() {
        const long long a_number = put_aside_a(-1);
        const long long b_number = put_aside_b(a_number);
        pool_a_.set_partner(a_number, b_number);
    }

    // A laser arc one program cuts in pieces where the other cuts it whole.
    bool arc_in_pieces() {
        const auto more_a = [this](std::size_t n) { fill_a(n); };
        const auto more_b = [this](std::size_t n) { fill_b(n); };
        if (const std::size_t pieces = verify::arc_pieces(m_.rules(), a_, b_.front(), more_a); pieces > 0) {
            ++r_.forms[FORM_ARC_PIECES][0];
            r_.events += static_cast<long long>(pieces);
            for (std::size_t i = 0; i < pieces; ++i) pop_a();
            pop_b();
            return true;
        }
        if (const std::size_t pieces = verify::arc_pieces(m_.swapped_rules(), b_, a_.front(), more_b); pieces > 0) {
            ++r_.forms[FORM_ARC_PIECES][1];
            ++r_.events;
            for (std::size_t i = 0; i < pieces; ++i) pop_b();
            pop_a();
            return true;
        }
        return false;
    }

    // A head whose like was put aside on the other side: the same work,
    // come later in this program.
    bool late_like_a() {
        const Event &x = a_.front();
        Pooled earlier;
        if (!pool_b_.take(x, [&](const Event &e) { return m_.match(x, e); }, earlier)) return false;
        in_another_order(x, earlier.event);
        pop_a();
        return true;
    }
    bool late_like_b() {
        const Event &y = b_.front();
        Pooled earlier;
        if (!pool_a_.take(y, [&](const Event &e) { return m_.match(e, y); }, earlier)) return false;
        in_another_order(earlier.event, y);
        pop_b();
        return true;
    }

    // One program has ended: the other's events are put aside, unless
    // their like was.
    void one_side_left() {
        if (b_.empty()) {
            if (!late_like_a()) put_aside_a(-1);
        } else if (!late_like_b()) {
            put_aside_b(-1);
        }
    }

    long long put_aside_a(long long partner) {
        const long long number = pool_a_.add(a_.front(), b_line_, partner);
        pop_a();
        return number;
    }
    long long put_aside_b(long long partner) {
        const long long number = pool_b_.add(b_.front(), a_line_, partner);
        pop_b();
        return number;
    }

    // ---- Matched ---------------------------------------------------------------------------
    void matched(const Event &a, const Event &b) {
        ++r_.events;
        const auto form = [&](Form f, bool in_a, bool in_b) {
            if (in_a != in_b) ++r_.forms[f][in_a ? 0 : 1];
        };
        form(FORM_ROW_STROKES, (a.form & nc::FORM_ROW) != 0, (b.form & nc::FORM_ROW) != 0);
        form(FORM_CIRCLE_HOLES, (a.form & nc::FORM_HOLES) != 0, (b.form & nc::FORM_HOLES) != 0);
        form(FORM_OFFSET_PLACES, (a.form & nc::FORM_OFFSET) != 0, (b.form & nc::FORM_OFFSET) != 0);
        form(FORM_COPY_WORK, a.where.call_line != 0, b.where.call_line != 0);
        if (a.kind == EventKind::regrip) form(FORM_REGRIP_COMMAND, a.number == 1, b.number == 1);
    }

    void in_another_order(const Event &a, const Event &b) {
        matched(a, b);
        reordered_.add(a, b);
        // A re-grip or stop come in another place: the work of the grips on
        // either side of it differs, which --any-order does not excuse.
        if (o_.any_order && ends_a_grip(a)) {
            tally_.tell("", verify::DifferencePlace{a.where.line, true, a.x, a.y, b.where.line}, [&] {
                return line_text(a) + " / " + line_text(b) + ": " + event_words(a, pa_, false) +
                       " stands elsewhere in the order of the work: the work of the sheet's grips on either side of "
                       "it differs";
            });
        }
    }

    // ---- A stretch of work ends: what is left put aside is told -------------------------------
    void end_stretch() {
        if (reordered_.events > 0) tell_reordered();
        reordered_ = Reordered{};
        if (pool_a_.size() + pool_b_.size() == 0) return;
        const std::vector<std::pair<long long, Pooled>> left_a = pool_a_.drain(), left_b = pool_b_.drain();
        std::map<long long, const Pooled *> b_by_number;
        for (const auto &[number, p] : left_b) b_by_number[number] = &p;
        // Two put aside together, both still there, are one changed; the
        // rest stand in one program only.  Told in the old program's order,
        // the new one's lines where the old one has none.
        struct Told {
            long long line;
            const Pooled *a, *b;
        };
        std::vector<Told> told;
        for (const auto &[number, p] : left_a) {
            const auto partner = b_by_number.find(p.partner);
            if (p.partner >= 0 && partner != b_by_number.end()) {
                told.push_back({p.event.where.line, &p, partner->second});
                b_by_number.erase(partner);
            } else {
                told.push_back({p.event.where.line, &p, nullptr});
            }
        }
        for (const auto &[number, p] : b_by_number) told.push_back({p->other_line, nullptr, p});
        std::stable_sort(told.begin(), told.end(), [](const Told &x, const Told &y) { return x.line < y.line; });
        for (const Told &t : told) {
            if (t.a != nullptr && t.b != nullptr) changed(t.a->event, t.b->event);
            else if (t.a != nullptr) only_in(t.a->event, t.a->other_line, true);
            else only_in(t.b->event, t.b->other_line, false);
        }
    }

    // ---- Telling ---------------------------------------------------------------------------------
    std::string line_text(const Event &e) const {
        std::string text = "line " + std::to_string(e.where.line);
        if (e.where.call_line != 0) text += " (in the copy called at line " + std::to_string(e.where.call_line) + ")";
        return text;
    }

    std::string event_words(const Event &e, const Program &p, bool with_angle) const {
        Event shown = e;
        if (p.inch) shown.technology.feed /= INCH_F_IN_MM_F;
        std::string text = verify::event_text(shown, p.inch, with_angle, &texts_);
        if (e.kind == EventKind::stop && e.text >= 0) text += " telling \"" + nc::shown_text(texts_.text(e.text)) + "\"";
        return text + units_note(p);
    }

    // Two changes are the same difference when they change the same thing
    // alike: every stroke of a program moved by 1 mm is one difference told
    // with its count, a hole moved here and another moved there are two.
    static std::string change_key(const Event &a, const Event &b, const std::string &what) {
        char alike[400];
        std::snprintf(alike, sizeof alike,
                      " by %.2f %.2f; T%d/%d C%.3f/%.3f M%d%d/%d%d; head %d/%d M7%d/%d mode %d/%d S%lld/%lld F%.3f/%.3f; "
                      "%d/%d %d/%d %.3f/%.3f %.3f/%.3f",
                      b.x - a.x, b.y - a.y, a.tool.station, b.tool.station, a.tool.angle, b.tool.angle,
                      a.tool.forming ? 1 : 0, a.tool.m61x, b.tool.forming ? 1 : 0, b.tool.m61x, a.technology.head,
                      b.technology.head, a.technology.m7x, b.technology.m7x, a.technology.mode, b.technology.mode,
                      a.technology.s, b.technology.s, a.technology.feed, b.technology.feed, a.number, b.number, a.text,
                      b.text, a.value, b.value, a.value2, b.value2);
        return "changed " + std::string(kind_name(a.kind, false)) + ": " + what + alike;
    }

    // Programs of other units: each place read in its own.
    std::string units_note(const Program &p) const {
        if (pa_.inch == pb_.inch) return "";
        return p.inch ? " (inches)" : " (mm)";
    }

    void changed(const Event &a, const Event &b) {
        const std::string what = m_.what_differs(a, b);
        const std::string key = change_key(a, b, what);
        tally_.tell(key, verify::DifferencePlace{a.where.line, true, a.x, a.y, b.where.line}, [&] {
            const bool angle = a.tool.angle != 0.0 || b.tool.angle != 0.0;
            std::string text = line_text(a) + " / " + line_text(b) + ": ";
            if (a.kind == b.kind) text += what + (what.find(", ") == std::string::npos ? " differs: " : " differ: ");
            text += event_words(a, pa_, angle) + " / " + event_words(b, pb_, angle);
            if (a.kind == EventKind::pierce && b.kind == EventKind::pierce && a.number != b.number) {
                text += "; laser parameters \"" + nc::shown_text(texts_.text(a.number)) + "\" / \"" +
                        nc::shown_text(texts_.text(b.number)) + "\"";
            }
            return text;
        });
    }

    void only_in(const Event &e, long long other_line, bool in_old) {
        const Program &p = in_old ? pa_ : pb_;
        const std::string other = other_line > 0 ? "after line " + std::to_string(other_line) : "at the start";
        const std::string key = std::string(in_old ? "only old " : "only new ") + kind_name(e.kind, false);
        const verify::DifferencePlace place = in_old ? verify::DifferencePlace{e.where.line, true, e.x, e.y, other_line}
                                                     : verify::DifferencePlace{other_line, true, e.x, e.y, e.where.line};
        tally_.tell(key, place, [&] {
            const std::string lines = in_old ? line_text(e) + " / " + other : other + " / " + line_text(e);
            return lines + ": " + event_words(e, p, e.tool.angle != 0.0) + " only in " + p.name;
        });
    }

    void tell_reordered() {
        if (o_.any_order) {
            r_.in_another_order += reordered_.events;
            return;
        }
        std::string what;
        std::size_t n = 0;
        for (const auto &[kind, count] : reordered_.kinds) {
            ++n;
            what += (what.empty() ? "" : n == reordered_.kinds.size() ? " and " : ", ") + count_of(count, kind);
        }
        const Reordered &s = reordered_;
        tally_.tell("", verify::DifferencePlace{s.first_old, false, 0.0, 0.0, s.first_new}, [&] {
            return "line " + std::to_string(s.first_old) + " / line " + std::to_string(s.first_new) + ": the same " +
                   what + " in another order, up to line " + std::to_string(s.last_old) + " / line " +
                   std::to_string(s.last_new);
        });
    }

    // ---- The headers: the sheet and the clamps the programs are for ---------------------------------------
    void compare_headers() {
        const Header &a = pa_.header, &b = pb_.header;
        const double p = pa_.tolerance.position + pb_.tolerance.position;
        const auto near = [p](double u, double v) { return std::fabs(u - v) <= p; };
        const auto sheet_text = [](const Header &h, const Program &prog) {
            if (!h.sheet) return std::string("none named");
            return verify::length_text(h.size_x, prog.inch) + " x " + verify::length_text(h.size_y, prog.inch) + ", " +
                   verify::length_text(h.thickness, prog.inch) + " thick";
        };
        const auto header_line = [](long long line) { return line > 0 ? "line " + std::to_string(line) : std::string("the header"); };
        if (a.sheet != b.sheet ||
            (a.sheet && !(near(a.size_x, b.size_x) && near(a.size_y, b.size_y) && near(a.thickness, b.thickness)))) {
            tally_.tell("", verify::DifferencePlace{a.sheet_line, false, 0.0, 0.0, b.sheet_line}, [&] {
                return header_line(a.sheet_line) + " / " + header_line(b.sheet_line) + ": the sheet differs: " +
                       sheet_text(a, pa_) + units_note(pa_) + " / " + sheet_text(b, pb_) + units_note(pb_);
            });
        }
        bool same_clamps = a.clamps_known == b.clamps_known && a.clamps.size() == b.clamps.size();
        for (std::size_t i = 0; same_clamps && i < a.clamps.size(); ++i) same_clamps = near(a.clamps[i], b.clamps[i]);
        if (!same_clamps) {
            const auto clamps_text = [](const Header &h, const Program &prog) {
                if (!h.clamps_known) return std::string("none named");
                if (h.clamps.empty()) return std::string("none");
                std::string text;
                for (double c : h.clamps) text += (text.empty() ? "X" : ", X") + verify::length_text(c, prog.inch);
                return text;
            };
            tally_.tell("", verify::DifferencePlace{a.clamps_line, false, 0.0, 0.0, b.clamps_line}, [&] {
                return header_line(a.clamps_line) + " / " + header_line(b.clamps_line) + ": the clamps differ: " +
                       clamps_text(a, pa_) + units_note(pa_) + " / " + clamps_text(b, pb_) + units_note(pb_);
            });
        }
    }

    EventSource &a_side_, &b_side_;
    const Program &pa_, &pb_;
    const nc::TextTable &texts_;
    const Options &o_;
    Result &r_;
    WorkMatch m_;
    verify::DifferenceTally tally_;
    OrderPool pool_a_, pool_b_;
    EventQueue a_, b_;
    bool a_ended_ = false, b_ended_ = false;
    long long a_line_ = 0, b_line_ = 0;   // the line of each side's last event done with
    Reordered reordered_;
};

}  // namespace

std::string plural(long long n, const char *one, const char *many) {
    return std::to_string(n) + " " + (n == 1 ? one : many);
}

Result compare(EventSource &old_events, EventSource &new_events, const Program &old_program,
               const Program &new_program, const nc::TextTable &texts, const Options &options) {
    Result r;
    Comparison(old_events, new_events, old_program, new_program, texts, options, r).run();
    // The messages in the order of the old program's lines (the new one's
    // where the old has none), however they were found.
    std::vector<std::size_t> order(r.messages.size());
    for (std::size_t i = 0; i < order.size(); ++i) order[i] = i;
    const auto key = [&r](std::size_t i) {
        const verify::DifferencePlace &p = r.places[i];
        return std::pair(p.line, p.other_line);
    };
    std::stable_sort(order.begin(), order.end(), [&](std::size_t x, std::size_t y) { return key(x) < key(y); });
    std::vector<std::string> messages;
    std::vector<verify::DifferencePlace> places;
    for (std::size_t i : order) {
        messages.push_back(std::move(r.messages[i]));
        places.push_back(r.places[i]);
    }
    r.messages = std::move(messages);
    r.places = std::move(places);
    return r;
}

std::vector<std::string> explanation(const Result &r, const Program &old_program, const Program &new_program) {
    // What is counted, one and many; how the one program wrote it, how the other.
    static const char *const FORMS[FORM_COUNT][4] = {
        {"stroke", "strokes", "in a row (LAA/)", "one by one"},
        {"stroke", "strokes", "on a bolt-hole circle (ARC/)", "one by one"},
        {"event", "events", "in a pattern's copy", "written out"},
        {"place", "places", "from an OFS/ origin", "in absolute words"},
        {"laser arc", "laser arcs", "cut in pieces", "in one piece"},
        {"re-grip", "re-grips", "by REP/", "by M41 ... M42"},
    };
    std::vector<std::string> lines;
    const std::string &a = old_program.name, &b = new_program.name;
    for (int f = 0; f < FORM_COUNT; ++f) {
        for (int side = 0; side < 2; ++side) {
            const long long n = r.forms[f][side];
            if (n == 0) continue;
            const std::string &with = side == 0 ? a : b, &without = side == 0 ? b : a;
            lines.push_back("the same " + plural(n, FORMS[f][0], FORMS[f][1]) + ": " + FORMS[f][2] + " in " + with +
                            ", " + FORMS[f][3] + " in " + without);
        }
    }
    if (r.in_another_order > 0) {
        lines.push_back("the same " + plural(r.in_another_order, "event", "events") + " in another order (--any-order)");
    }
    const Uncompared &ua = r.old_uncompared, &ub = r.new_uncompared;
    const auto not_compared = [&](long long na, long long nb, const char *what) {
        if (na + nb > 0) {
            lines.push_back("not compared: " + std::string(what) + ", " + std::to_string(na) + " in " + a + ", " +
                            std::to_string(nb) + " in " + b);
        }
    };
    not_compared(ua.comments, ub.comments, "comments that are no stop's text");
    not_compared(ua.copies, ub.copies, "pattern copies as such (their work is compared)");
    not_compared(ua.copy_positionings, ub.copy_positionings, "positionings onto a pattern copy's origin");
    not_compared(ua.idle_positionings, ub.idle_positionings, "MOV/ and positionings that go nowhere");
    not_compared(ua.tool_changes + ua.index_turns, ub.tool_changes + ub.index_turns,
                 "tool changes and index turns (each stroke's station and angle are compared)");
    not_compared(ua.frames, ub.frames, "frame blocks (FRM/: places are compared on the sheet)");
    not_compared(ua.parameter_runs, ub.parameter_runs,
                 "runs of laser parameter lines (the ones in force at each laser start are compared)");
    not_compared(ua.line_forms, ub.line_forms, "line ends other than CR LF");
    return lines;
}

}  // namespace diff
