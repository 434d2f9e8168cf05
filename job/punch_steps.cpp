// punch_steps.cpp - the work steps of the punch: hit, position and move.
//
// Each is read from its tree, or flat from its numbers where the body is
// plain (see StepKind): the two readers take the same keys and the same
// ranges.
#include "job/work_steps.h"

namespace job {
namespace {

const std::initializer_list<std::string_view> STROKE_KEYS = {"x", "y", "tool", "angle"};
const std::initializer_list<std::string_view> MOVE_KEYS = {"x", "y"};

bool angle_in_range(double angle) { return angle >= -MAX_INDEX_ANGLE && angle <= MAX_INDEX_ANGLE; }

void read_stroke(const JsonField &f, WorkContext &context, bool position_only) {
    f.expect_object(STROKE_KEYS);
    Hit h;
    h.x = f.member("x").number();
    h.y = f.member("y").number();
    const JsonField tool = f.member("tool");
    h.tool = tool.int32();
    context.require_punch(tool, h.tool);
    if (f.has("angle")) h.angle = f.member("angle").number_within(-MAX_INDEX_ANGLE, MAX_INDEX_ANGLE);
    h.position_only = position_only;
    context.job().work.push_back(h);
}

bool read_flat_stroke(const FlatBody &body, WorkContext &context, bool position_only) {
    const FlatBody::Member *x = nullptr, *y = nullptr, *tool = nullptr, *angle = nullptr;
    for (std::size_t i = 0; i < body.count; ++i) {
        const FlatBody::Member &m = body.members[i];
        const std::string_view name = m.name();
        if (name == "x") x = &m;
        else if (name == "y") y = &m;
        else if (name == "tool") tool = &m;
        else if (name == "angle") angle = &m;
        else return false;
    }
    Hit h;
    if (!flat_number(x, h.x) || !flat_number(y, h.y) || !flat_int32(tool, h.tool) || !context.known_punch(h.tool)) {
        return false;
    }
    if (angle != nullptr && (!flat_number(angle, h.angle) || !angle_in_range(h.angle))) return false;
    h.position_only = position_only;
    context.job().work.push_back(h);
    return true;
}

}  // namespace

void read_hit_step(const JsonField &body, WorkContext &context) { read_stroke(body, context, false); }

void read_position_step(const JsonField &body, WorkContext &context) { read_stroke(body, context, true); }

void read_move_step(const JsonField &body, WorkContext &context) {
    body.expect_object(MOVE_KEYS);
    Movement m;
    m.x = body.member("x").number();
    m.y = body.member("y").number();
    context.job().work.push_back(m);
}

bool read_flat_hit_step(const FlatBody &body, WorkContext &context) { return read_flat_stroke(body, context, false); }

bool read_flat_position_step(const FlatBody &body, WorkContext &context) {
    return read_flat_stroke(body, context, true);
}

bool read_flat_move_step(const FlatBody &body, WorkContext &context) {
    const FlatBody::Member *x = nullptr, *y = nullptr;
    for (std::size_t i = 0; i < body.count; ++i) {
        const FlatBody::Member &m = body.members[i];
        if (m.name() == "x") x = &m;
        else if (m.name() == "y") y = &m;
        else return false;
    }
    Movement m;
    if (!flat_number(x, m.x) || !flat_number(y, m.y)) return false;
    context.job().work.push_back(m);
    return true;
}

}  // namespace job
