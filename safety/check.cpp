// check.cpp - strokes, nibbled paths and laser cuts held against the clamps'
// zones and the sheet's outline.
#include "safety/check.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "nc/nibbling.h"

namespace safety {
namespace {

// Below the sheet's edge a clamp's zone has no end that work could reach.
constexpr double BELOW_THE_EDGE = 1e6;
// Arcs are followed by chords this close to them, mm.
constexpr double CHORD_ERROR = 0.001;

double outside_box(Point p, double size_x, double size_y) {
    const double dx = std::max({0.0, -p.x, p.x - size_x});
    const double dy = std::max({0.0, -p.y, p.y - size_y});
    return std::hypot(dx, dy);
}

}  // namespace

Check::Check(Layout layout) : layout_(std::move(layout)) {
    found_.reserve(8);
    move_zones();
}

void Check::move_zones() {
    zones_.clear();
    if (!(layout_.zone_width > 0.0) || !(layout_.zone_depth > 0.0)) return;
    for (double c : layout_.clamps) {
        const double middle = c + along_;
        zones_.push_back(rectangle(middle - layout_.zone_width / 2.0, -BELOW_THE_EDGE,
                                   middle + layout_.zone_width / 2.0, layout_.zone_depth));
    }
}

void Check::place(nc::Event &e) {
    using nc::EventKind;
    switch (e.kind) {
    case EventKind::frame:
        // The sheet stands where the control says and the clamps hold it as loaded.
        shift_x_ = shift_y_ = 0.0;
        along_ = 0.0;
        move_zones();
        return;
    case EventKind::regrip:
        along_ += e.value;
        // The explicit sequence moves the control's X back by the clamps'
        // travel; "REP/" leaves the sheet's coordinates as they are.
        if (e.number == 0) {
            shift_x_ += e.value;
            shift_y_ -= e.value2;
        }
        move_zones();
        return;
    case EventKind::stop:
        if (e.number == 1) either_way_ = true;
        return;
    default: nc::shift(e, shift_x_, shift_y_);
    }
}

double Check::off_sheet(Point p) const {
    const double off = outside_box(p, layout_.sheet_x, layout_.sheet_y);
    return either_way_ ? std::min(off, outside_box(p, layout_.sheet_y, layout_.sheet_x)) : off;
}

Finding Check::finding(const nc::Event &e, Work work, int zone, double depth, Point at) const {
    Finding f;
    f.hazard = zone < 0 ? Hazard::off_sheet : Hazard::clamp;
    f.work = work;
    f.where = e.where;
    if (zone >= 0) {
        f.clamp = zone + 1;
        f.clamp_x = layout_.clamps[static_cast<std::size_t>(zone)] + along_;
    }
    f.depth = depth;
    f.x = at.x;
    f.y = at.y;
    f.control_x = at.x - shift_x_;
    f.control_y = at.y - shift_y_;
    return f;
}

void Check::stroke(const nc::Event &e, Work work, Point at, long long k, std::vector<Finding> &out) const {
    const auto known = layout_.tools.find(e.tool.station);
    const Footprint &f = known != layout_.tools.end() ? known->second : layout_.unknown_tool;
    const double reach = footprint_radius(f);
    for (std::size_t i = 0; i < zones_.size(); ++i) {
        const Polygon &z = zones_[i];
        // Far from the zone: clear without working out the footprint.
        if (at.x + reach <= z[0].x || at.x - reach >= z[1].x || at.y - reach >= z[2].y) continue;
        const double depth = footprint_reach(z, f, at, e.tool.angle);
        if (depth > layout_.tolerance) out.push_back(finding(e, work, static_cast<int>(i), depth, at));
    }
    // A stroke whose centre is off the sheet strikes at most half of itself
    // on it; one that only crosses the edge (a notch) is fine.
    const double off = off_sheet(at);
    if (off > layout_.tolerance) out.push_back(finding(e, work, -1, off, at));
    for (Finding &found : out) found.stroke = k;
}

void Check::nibble(const nc::Event &e) {
    // One finding for each zone (and the outline) the path strikes: its
    // deepest stroke, and how many strike.
    std::vector<Finding> of_stroke;
    const long long count = nc::nibble_stroke_count(e);
    for (long long k = 0; k < count; ++k) {
        of_stroke.clear();
        stroke(e, Work::nibble_stroke, nibbled(e, k), k, of_stroke);
        for (const Finding &f : of_stroke) {
            auto same = std::find_if(found_.begin(), found_.end(),
                                     [&f](const Finding &g) { return g.hazard == f.hazard && g.clamp == f.clamp; });
            if (same == found_.end()) {
                found_.push_back(f);
                continue;
            }
            const long long strokes = same->count + 1;
            if (f.depth > same->depth) *same = f;
            same->count = strokes;
        }
    }
}

Point Check::nibbled(const nc::Event &e, long long k) {
    Point at;
    nc::nibble_stroke(e, k, at.x, at.y);
    return at;
}

bool Check::strikes(long long k) const {
    std::vector<Finding> of_stroke;
    stroke(last_, Work::nibble_stroke, nibbled(last_, k), k, of_stroke);
    return !of_stroke.empty();
}

void Check::cut(const nc::Event &e) {
    std::vector<Point> path;
    if (e.shape == nc::Shape::line) {
        path = {Point{e.x0, e.y0}, Point{e.x, e.y}};
    } else {
        path = arc_chords(Point{e.x0, e.y0}, Point{e.xc, e.yc}, e.sweep, CHORD_ERROR);
    }
    for (std::size_t i = 0; i < zones_.size(); ++i) {
        const Polygon &z = zones_[i];
        double deepest = 0.0;
        Point at;
        for (std::size_t k = 0; k + 1 < path.size(); ++k) {
            const Point a = path[k], b = path[k + 1];
            if (std::max(a.x, b.x) <= z[0].x || std::min(a.x, b.x) >= z[1].x || std::min(a.y, b.y) >= z[2].y) continue;
            Point p;
            const double depth = deepest_on_segment(z, a, b, p);
            if (depth > deepest) {
                deepest = depth;
                at = p;
            }
        }
        if (deepest > layout_.tolerance) found_.push_back(finding(e, Work::laser_cut, static_cast<int>(i), deepest, at));
    }
    // Off the sheet grows towards a chord's ends: the farthest corner tells.
    double farthest = 0.0;
    Point at;
    for (const Point &p : path) {
        const double off = off_sheet(p);
        if (off > farthest) {
            farthest = off;
            at = p;
        }
    }
    if (farthest > layout_.tolerance) found_.push_back(finding(e, Work::laser_cut, -1, farthest, at));
}

const std::vector<Finding> &Check::add(const nc::Event &event) {
    found_.clear();
    last_ = event;
    place(last_);
    using nc::EventKind;
    switch (last_.kind) {
    case EventKind::stroke: stroke(last_, Work::stroke, Point{last_.x, last_.y}, -1, found_); break;
    case EventKind::nibble: nibble(last_); break;
    case EventKind::laser: cut(last_); break;
    default: break;
    }
    return found_;
}

}  // namespace safety
