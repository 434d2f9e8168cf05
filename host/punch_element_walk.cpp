// punch_element_walk.cpp - rows, nibbling and bolt-hole circles, from the
// job's terms to the hooks' arguments and the element record.
#include "host/punch_element_walk.h"

#include <cmath>
#include <numbers>

#include "host/element_record.h"
#include "host/host_state.h"
#include "host/trace.h"
#include "interface/host_api.h"

namespace {

using job::PunchElement;

constexpr double RADIANS_PER_DEGREE = std::numbers::pi / 180.0;

struct Point {
    double x, y;
};

// The point on a circle at an angle in degrees.
Point on_circle(const PunchElement &e, double degrees) {
    const double a = degrees * RADIANS_PER_DEGREE;
    return {e.xc + e.radius * std::cos(a), e.yc + e.radius * std::sin(a)};
}

int indexable(int tool) {
    const job::Station *station = host::detail::find_station(tool);
    return station != nullptr && station->indexable ? 1 : 0;
}

// Tool and index flag; the fields of the kind are added by the caller.
host::ElementValues values_of(const PunchElement &e, host::ElementKind kind) {
    host::ElementValues v;
    v.kind = kind;
    v.tool = e.tool;
    v.indexable = indexable(e.tool);
    return v;
}

int walk_row(const PunchElement &e, double angle) {
    host::ElementValues v = values_of(e, host::ElementKind::row);
    v.count = e.count;
    // The hits are spread evenly from the first to the last.
    v.pitch = e.count > 1 ? std::hypot(e.x2 - e.x1, e.y2 - e.y1) / (e.count - 1) : 0.0;
    host::ElementRecord r = host::build_element_record(v);
    const int result = (*pp_cut)(e.x1, e.y1, e.x2, e.y2, r.bytes, angle);
    HOST_TRACE("pp_cut(%.10g, %.10g, %.10g, %.10g, el, %.10g) -> %d", e.x1, e.y1, e.x2, e.y2, angle, result);
    return result;
}

int walk_nibbled_line(const PunchElement &e, double angle) {
    host::ElementValues v = values_of(e, host::ElementKind::nibbled_line);
    v.line_pitch = e.step;
    host::ElementRecord r = host::build_element_record(v);
    const int result = (*pp_nibble_l)(e.x1, e.y1, e.x2, e.y2, r.bytes, angle);
    HOST_TRACE("pp_nibble_l(%.10g, %.10g, %.10g, %.10g, el, %.10g) -> %d", e.x1, e.y1, e.x2, e.y2, angle,
               result);
    return result;
}

host::ElementRecord round_record(const PunchElement &e) {
    host::ElementValues v = values_of(e, host::ElementKind::nibbled_round);
    v.radius = e.radius;
    v.arc_dir = e.counter_clockwise ? 1 : -1;
    v.arc_pitch = e.step;
    return host::build_element_record(v);
}

int walk_nibbled_circle(const PunchElement &e, double angle) {
    host::ElementRecord r = round_record(e);
    const Point s = on_circle(e, e.start_angle);
    const int result = (*pp_nibble_c)(s.x, s.y, e.xc, e.yc, r.bytes, angle);
    HOST_TRACE("pp_nibble_c(%.10g, %.10g, %.10g, %.10g, el, %.10g) -> %d", s.x, s.y, e.xc, e.yc, angle, result);
    return result;
}

int walk_nibbled_arc(const PunchElement &e, double angle) {
    host::ElementRecord r = round_record(e);
    const int result = (*pp_nibble_a)(e.x1, e.y1, e.x2, e.y2, e.xc, e.yc, r.bytes, angle);
    HOST_TRACE("pp_nibble_a(%.10g, %.10g, %.10g, %.10g, %.10g, %.10g, el, %.10g) -> %d", e.x1, e.y1, e.x2, e.y2,
               e.xc, e.yc, angle, result);
    return result;
}

int walk_bolt_hole_circle(const PunchElement &e, double angle) {
    host::ElementValues v = values_of(e, host::ElementKind::bolt_hole_circle);
    v.bhc_radius = e.radius;
    v.step_angle = e.step_angle * RADIANS_PER_DEGREE;
    v.count = e.count;
    host::ElementRecord r = host::build_element_record(v);
    const Point first = on_circle(e, e.start_angle);
    const Point last = on_circle(e, e.start_angle + e.step_angle * (e.count - 1));
    const int result = (*pp_bolt_hole_circle)(first.x, first.y, last.x, last.y, e.xc, e.yc, r.bytes, angle);
    HOST_TRACE("pp_bolt_hole_circle(%.10g, %.10g, %.10g, %.10g, %.10g, %.10g, el, %.10g) -> %d", first.x,
               first.y, last.x, last.y, e.xc, e.yc, angle, result);
    return result;
}

}  // namespace

namespace host::detail {

int walk_punch_element(const PunchElement &e) {
    const double angle = e.angle * RADIANS_PER_DEGREE;
    switch (e.kind) {
    case PunchElement::Kind::row: return walk_row(e, angle);
    case PunchElement::Kind::nibbled_line: return walk_nibbled_line(e, angle);
    case PunchElement::Kind::nibbled_circle: return walk_nibbled_circle(e, angle);
    case PunchElement::Kind::nibbled_arc: return walk_nibbled_arc(e, angle);
    case PunchElement::Kind::bolt_hole_circle: return walk_bolt_hole_circle(e, angle);
    }
    return 0;
}

}  // namespace host::detail
