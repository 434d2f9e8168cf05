// work_match.cpp - two programs' events held against each other.
#include "diff/work_match.h"

#include <cmath>

#include "verify/arc_path.h"
#include "verify/nearness.h"

namespace diff {
namespace {

using nc::Event;
using nc::EventKind;
using verify::near;
using verify::near_angle;
using verify::near_point;

void add(std::string &words, const char *what) {
    if (!words.empty()) words += ", ";
    words += what;
}

}  // namespace

WorkMatch::WorkMatch(const verify::Tolerance &old_t, const verify::Tolerance &new_t)
    : rules_(old_t, new_t), swapped_(new_t, old_t), angle_(old_t.angle + new_t.angle), feed_(old_t.feed + new_t.feed),
      widest_(2.0 * (old_t.position + new_t.position) + old_t.half_unit + new_t.half_unit) {}

bool WorkMatch::match(const Event &a, const Event &b) const {
    if (a.kind != b.kind) return false;
    const double p = rules_.place_tolerance(a, b);
    switch (a.kind) {
    // Strokes and nibbled paths carry the checks of the index angle and the
    // modes (diff/compared_events.h).
    case EventKind::nibble: return rules_.match(a, b) && b.step <= a.step + p;
    case EventKind::pierce: return a.number == b.number && rules_.match(a, b);
    // The re-grip by REP/ or by M41 ... M42 is one: where it starts on the
    // sheet and how far the clamps go back.
    case EventKind::regrip: return near_point(a.x0, a.y0, b.x0, b.y0, p) && near(a.value, b.value, p);
    case EventKind::stop: return a.text == b.text;
    default: return rules_.match(a, b);
    }
}

std::string WorkMatch::what_differs(const Event &a, const Event &b) const {
    if (a.kind != b.kind) return "another kind of work";
    const double p = rules_.place_tolerance(a, b);
    std::string words;
    const bool place = near_point(a.x, a.y, b.x, b.y, p);
    const auto tool = [&] {
        if (a.tool.station != b.tool.station) add(words, "the station");
        if (!near_angle(a.tool.angle, b.tool.angle, angle_)) add(words, "the index angle");
        if (a.tool.forming != b.tool.forming) add(words, "the forming mode");
        if (a.tool.m61x != b.tool.m61x) add(words, "the M61x mode");
    };
    const nc::Technology &ta = a.technology, &tb = b.technology;
    switch (a.kind) {
    case EventKind::stroke:
        if (!place) add(words, "the place");
        tool();
        break;
    case EventKind::nibble:
    {
        // The path alone: b with a's punch and step.
        Event path = b;
        path.tool = a.tool;
        path.step = a.step;
        if (!rules_.match(a, path)) add(words, "the path");
    }
        if (!near(a.step, b.step, p)) add(words, "the step");
        tool();
        break;
    case EventKind::pierce:
        if (!place) add(words, "the place");
        if (ta.head != tb.head) add(words, "the head mode");
        if (ta.m7x != tb.m7x) add(words, "the M7x word");
        if (ta.mode != tb.mode) add(words, "the technology word");
        if (ta.s != tb.s) add(words, "the S value");
        if (!near(ta.feed, tb.feed, feed_)) add(words, "the feed");
        if (ta.compensation != tb.compensation) add(words, "the compensation");
        if (a.number != b.number) add(words, "the laser parameters");
        break;
    case EventKind::laser: {
        const bool ends = near_point(a.x0, a.y0, b.x0, b.y0, p) && place;
        if (a.shape != b.shape || !ends ||
            (a.shape != nc::Shape::line &&
             ((a.sweep > 0) != (b.sweep > 0) || verify::path_distance(a, b) > rules_.path_tolerance(a, b)))) {
            add(words, "the path");
        }
        if (!near(ta.feed, tb.feed, feed_)) add(words, "the feed");
        if (words.empty()) add(words, "the junction word");
        break;
    }
    case EventKind::move:
        if (!place) add(words, "the place");
        if (a.purpose != b.purpose) add(words, "what it positions for");
        break;
    case EventKind::regrip:
        if (!near_point(a.x0, a.y0, b.x0, b.y0, p)) add(words, "the place");
        if (!near(a.value, b.value, p)) add(words, "the re-grip's distance");
        break;
    case EventKind::trap_door: add(words, "the place"); break;
    case EventKind::stop: add(words, "the operator's text"); break;
    case EventKind::dwell: add(words, "the time"); break;
    case EventKind::feed_range: add(words, "the feed range"); break;
    case EventKind::sheet: add(words, "the material block"); break;
    case EventKind::user_text:
    case EventKind::comment: add(words, "the text"); break;
    case EventKind::program_start: add(words, "the code (ISO or EIA)"); break;
    case EventKind::program_number: add(words, "the program number"); break;
    case EventKind::program_end: add(words, "the index angle at the end"); break;
    default: break;
    }
    return words.empty() ? "what it does" : words;
}

}  // namespace diff
