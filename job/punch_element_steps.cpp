// punch_element_steps.cpp - the work steps that the control punches from one
// command each: rows of hits, nibbled lines, circles and arcs, and bolt-hole
// circles.  The job gives them in a user's terms; each reader checks that
// they make one element and keeps them in the form the host derives its
// records from.
#include <cmath>
#include <sstream>

#include "job/work_steps.h"

namespace job {
namespace {

// A point given for an arc must lie on its circle to within this.
constexpr double ON_CIRCLE_TOLERANCE = 0.001;

// Computed points stay inside the range of the job's numbers.
constexpr double MAX_COORDINATE = 1e9;

// A row holds at most as many hits as a repeat places copies.
constexpr int MAX_ROW_HITS = 1000000;

constexpr double FULL_TURN = 360.0;
constexpr double RADIANS_PER_DEGREE = 3.141592653589793 / 180.0;

std::string text_of(double value) {
    std::ostringstream text;
    text << value;
    return text.str();
}

// The index, tool and angle every one of these steps carries.
void read_tool_and_angle(const JsonField &body, WorkContext &context, PunchElement &e) {
    const JsonField tool = body.member("tool");
    e.tool = tool.int32();
    context.require_punch(tool, e.tool);
    if (body.has("angle")) e.angle = body.member("angle").number_within(-MAX_INDEX_ANGLE, MAX_INDEX_ANGLE);
}

double positive(const JsonField &f, const char *what) {
    const double v = f.number();
    if (!(v > 0.0)) f.fail(std::string(what) + " must be greater than 0");
    return v;
}

int at_least_one(const JsonField &f, const char *what) {
    const int n = f.int32();
    if (n < 1) f.fail(std::string("at least 1 ") + what + " is needed, found " + std::to_string(n));
    return n;
}

// Exactly one of two keys that say the same thing in two ways.
void one_of(const JsonField &body, const char *a, const char *b) {
    if (body.has(a) == body.has(b)) {
        body.fail(std::string("give either \"") + a + "\" or \"" + b + "\"" + (body.has(a) ? ", not both" : ""));
    }
}

// The arc's centre and radius, and the sense and step common to circles and arcs.
void read_round(const JsonField &body, WorkContext &context, PunchElement &e) {
    body.member("centre").point(e.xc, e.yc);
    const JsonField radius = body.member("radius");
    e.radius = positive(radius, "the radius");
    context.require_writable_distance(radius, e.radius, "the radius");
    const JsonField step = body.member("step");
    e.step = positive(step, "the step");
    context.require_writable_distance(step, e.step, "the step");
    if (body.has("sense")) e.counter_clockwise = body.member("sense").choice({"ccw", "cw"}) == 0;
}

// One end of an arc: a point on its circle, or the angle of one.
void read_arc_end(const JsonField &body, const char *point_key, const char *angle_key, const PunchElement &e,
                  double &x, double &y) {
    one_of(body, point_key, angle_key);
    if (body.has(angle_key)) {
        const double a = body.member(angle_key).number() * RADIANS_PER_DEGREE;
        x = e.xc + e.radius * std::cos(a);
        y = e.yc + e.radius * std::sin(a);
        return;
    }
    const JsonField point = body.member(point_key);
    point.point(x, y);
    const double distance = std::hypot(x - e.xc, y - e.yc);
    if (std::fabs(distance - e.radius) > ON_CIRCLE_TOLERANCE) {
        point.fail("the point is not on the arc's circle: it lies " + text_of(distance) + " from the centre, the radius is " +
                   text_of(e.radius));
    }
}

}  // namespace

void read_row_step(const JsonField &body, WorkContext &context) {
    body.expect_object({"from", "to", "pitch", "hits", "tool", "angle"});
    PunchElement e;
    e.kind = PunchElement::Kind::row;
    body.member("from").point(e.x1, e.y1);
    const JsonField hits = body.member("hits");
    e.count = at_least_one(hits, "hit");
    if (e.count > MAX_ROW_HITS) hits.fail("a row holds at most " + std::to_string(MAX_ROW_HITS) + " hits");
    one_of(body, "to", "pitch");
    if (body.has("to")) {
        const JsonField to = body.member("to");
        to.point(e.x2, e.y2);
        const bool same_spot = e.x2 == e.x1 && e.y2 == e.y1;
        if (e.count > 1 && same_spot) to.fail("the hits of a row would all stand on one spot: \"to\" is \"from\"");
        if (e.count == 1 && !same_spot) to.fail("a row of 1 hit ends where it starts: \"to\" must be \"from\"");
        if (e.count > 1) {
            context.require_writable_distance(hits, std::hypot(e.x2 - e.x1, e.y2 - e.y1) / (e.count - 1),
                                              "the pitch of the hits");
        }
    } else {
        const JsonField pitch = body.member("pitch");
        double dx = 0.0, dy = 0.0;
        pitch.point(dx, dy);
        if (e.count > 1 && dx == 0.0 && dy == 0.0) pitch.fail("the hits of a row would all stand on one spot: the pitch is [0, 0]");
        if (e.count > 1) context.require_writable_distance(pitch, std::hypot(dx, dy), "the pitch");
        e.x2 = e.x1 + dx * (e.count - 1);
        e.y2 = e.y1 + dy * (e.count - 1);
        if (std::fabs(e.x2) > MAX_COORDINATE || std::fabs(e.y2) > MAX_COORDINATE) {
            hits.fail("the last hit of the row lies beyond 1e9");
        }
    }
    read_tool_and_angle(body, context, e);
    context.job().add_punch_element(e);
}

void read_nibble_line_step(const JsonField &body, WorkContext &context) {
    body.expect_object({"from", "to", "step", "tool", "angle"});
    PunchElement e;
    e.kind = PunchElement::Kind::nibbled_line;
    body.member("from").point(e.x1, e.y1);
    const JsonField to = body.member("to");
    to.point(e.x2, e.y2);
    if (e.x2 == e.x1 && e.y2 == e.y1) to.fail("a nibbled line needs a length: \"to\" is \"from\"");
    context.require_writable_distance(to, std::hypot(e.x2 - e.x1, e.y2 - e.y1), "the length of the line");
    const JsonField step = body.member("step");
    e.step = positive(step, "the step");
    context.require_writable_distance(step, e.step, "the step");
    read_tool_and_angle(body, context, e);
    context.job().add_punch_element(e);
}

void read_nibble_circle_step(const JsonField &body, WorkContext &context) {
    body.expect_object({"centre", "radius", "start_angle", "sense", "step", "tool", "angle"});
    PunchElement e;
    e.kind = PunchElement::Kind::nibbled_circle;
    read_round(body, context, e);
    if (body.has("start_angle")) e.start_angle = body.member("start_angle").number();
    read_tool_and_angle(body, context, e);
    context.job().add_punch_element(e);
}

void read_nibble_arc_step(const JsonField &body, WorkContext &context) {
    body.expect_object({"centre", "radius", "from", "start_angle", "to", "end_angle", "sense", "step", "tool", "angle"});
    PunchElement e;
    e.kind = PunchElement::Kind::nibbled_arc;
    read_round(body, context, e);
    read_arc_end(body, "from", "start_angle", e, e.x1, e.y1);
    read_arc_end(body, "to", "end_angle", e, e.x2, e.y2);
    // The turn the control is given, as the host works it out from the ends.
    const double start = std::atan2(e.y1 - e.yc, e.x1 - e.xc) / RADIANS_PER_DEGREE;
    const double end = std::atan2(e.y2 - e.yc, e.x2 - e.xc) / RADIANS_PER_DEGREE;
    double turn = std::fmod(e.counter_clockwise ? end - start : start - end, FULL_TURN);
    if (turn < 0.0) turn += FULL_TURN;
    if (turn != 0.0) context.require_writable_angle(body.member(body.has("to") ? "to" : "end_angle"), turn, "the arc's turn");
    read_tool_and_angle(body, context, e);
    context.job().add_punch_element(e);
}

void read_bolt_hole_circle_step(const JsonField &body, WorkContext &context) {
    body.expect_object({"centre", "radius", "first_angle", "step_angle", "holes", "tool", "angle"});
    PunchElement e;
    e.kind = PunchElement::Kind::bolt_hole_circle;
    body.member("centre").point(e.xc, e.yc);
    const JsonField radius = body.member("radius");
    e.radius = positive(radius, "the radius");
    context.require_writable_distance(radius, e.radius, "the radius");
    if (body.has("first_angle")) e.start_angle = body.member("first_angle").number();
    e.count = at_least_one(body.member("holes"), "hole");
    const JsonField step = body.member("step_angle");
    e.step_angle = step.number();
    if (e.count > 1 && e.step_angle == 0.0) step.fail("the holes would all stand on one spot: the step angle is 0");
    if (e.count > 1) context.require_writable_angle(step, e.step_angle, "the step angle");
    if (std::fabs(e.step_angle) * (e.count - 1) >= FULL_TURN) {
        step.fail("the holes would go round more than once: (holes - 1) x step angle reaches 360 degrees");
    }
    read_tool_and_angle(body, context, e);
    context.job().add_punch_element(e);
}

}  // namespace job
