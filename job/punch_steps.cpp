// punch_steps.cpp - the work steps of the punch: hit, position and move.
//
// Each is read from its tree, or flat from its numbers where the body is
// plain (see StepKind): the two readers take the same keys (those of the
// FlatStep) and the same ranges.
#include "job/work_steps.h"

namespace job {
namespace {

bool angle_in_range(double angle) { return angle >= -MAX_INDEX_ANGLE && angle <= MAX_INDEX_ANGLE; }

void read_stroke(const JsonField &f, WorkContext &context, bool position_only) {
    f.expect_object(FLAT_HIT_STEP.allowed());
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

// Slots of the stroke's keys in FLAT_HIT_STEP and FLAT_POSITION_STEP.
enum StrokeSlot : std::size_t { STROKE_X, STROKE_Y, STROKE_TOOL, STROKE_ANGLE };
enum MoveSlot : std::size_t { MOVE_X, MOVE_Y };

bool read_flat_stroke(const FlatBody &body, WorkContext &context, bool position_only) {
    Hit h;
    if (!flat_number(body.get(STROKE_X), h.x) || !flat_number(body.get(STROKE_Y), h.y) ||
        !flat_int32(body.get(STROKE_TOOL), h.tool) || !context.known_punch(h.tool)) {
        return false;
    }
    if (const FlatBody::Value *angle = body.get(STROKE_ANGLE)) {
        if (!flat_number(angle, h.angle) || !angle_in_range(h.angle)) return false;
    }
    h.position_only = position_only;
    context.job().work.push_back(h);
    return true;
}

bool read_flat_hit(const FlatBody &body, WorkContext &context) { return read_flat_stroke(body, context, false); }

bool read_flat_position(const FlatBody &body, WorkContext &context) { return read_flat_stroke(body, context, true); }

bool read_flat_move(const FlatBody &body, WorkContext &context) {
    Movement m;
    if (!flat_number(body.get(MOVE_X), m.x) || !flat_number(body.get(MOVE_Y), m.y)) return false;
    context.job().work.push_back(m);
    return true;
}

}  // namespace

void read_hit_step(const JsonField &body, WorkContext &context) { read_stroke(body, context, false); }

void read_position_step(const JsonField &body, WorkContext &context) { read_stroke(body, context, true); }

void read_move_step(const JsonField &body, WorkContext &context) {
    body.expect_object(FLAT_MOVE_STEP.allowed());
    Movement m;
    m.x = body.member("x").number();
    m.y = body.member("y").number();
    context.job().work.push_back(m);
}

const FlatStep FLAT_HIT_STEP = {{"x", "y", "tool", "angle"}, 4, read_flat_hit};
const FlatStep FLAT_POSITION_STEP = {{"x", "y", "tool", "angle"}, 4, read_flat_position};
const FlatStep FLAT_MOVE_STEP = {{"x", "y"}, 2, read_flat_move};

}  // namespace job
