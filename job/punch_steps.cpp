// punch_steps.cpp - the work steps of the punch: hit, position and move.
#include "job/work_steps.h"

namespace job {
namespace {

void read_stroke(const JsonField &f, WorkContext &context, bool position_only) {
    f.expect_object({"x", "y", "tool", "angle"});
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

}  // namespace

void read_hit_step(const JsonField &body, WorkContext &context) { read_stroke(body, context, false); }

void read_position_step(const JsonField &body, WorkContext &context) { read_stroke(body, context, true); }

void read_move_step(const JsonField &body, WorkContext &context) {
    body.expect_object({"x", "y"});
    Movement m;
    m.x = body.member("x").number();
    m.y = body.member("y").number();
    context.job().work.push_back(m);
}

}  // namespace job
