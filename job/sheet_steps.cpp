// sheet_steps.cpp - the work steps that concern the sheet: stop, trap door,
// tab break, free NC text, feed rate, dwell, sheet move, repositioning, flip
// and turn.
#include <string>

#include "job/work_steps.h"

namespace job {
namespace {

// The text would put something on a line of its own in the NC program, or
// "" when it stands safely as one block.  Control characters are refused by
// JsonField::text already; a '%' opening the line marks a program's start or
// end on the control.
std::string nc_text_fault(const std::string &text) {
    const std::size_t first = text.find_first_not_of(' ');
    if (first != std::string::npos && text[first] == '%') {
        return "an NC text must not begin with '%': the control takes it as the end of the program";
    }
    return "";
}

}  // namespace

void read_stop_step(const JsonField &body, WorkContext &context) {
    body.expect_object({});
    context.job().work.push_back(SheetStop{});
}

void read_trap_door_step(const JsonField &body, WorkContext &context) {
    body.expect_object({"dx", "dy", "kind"});
    TrapDoor t;
    if (body.has("dx")) t.dx = body.member("dx").number();
    if (body.has("dy")) t.dy = body.member("dy").number();
    if (body.has("kind")) t.kind = body.member("kind").int32();
    context.job().work.push_back(t);
}

void read_tab_break_step(const JsonField &body, WorkContext &context) {
    body.expect_object({});
    context.job().work.push_back(TabBreak{});
}

void read_nc_step(const JsonField &body, WorkContext &context) {
    body.expect_object({"text"});
    const JsonField field = body.member("text");
    std::string text = field.control_text(MAX_NC_TEXT_LENGTH);
    const std::string fault = nc_text_fault(text);
    if (!fault.empty()) field.fail(fault);
    context.job().add_nc_text(std::move(text));
}

void read_feedrate_step(const JsonField &body, WorkContext &context) {
    body.expect_object({"feed"});
    context.job().work.push_back(SheetFeed{body.member("feed").number_within(0.0, MAX_FEEDRATE)});
}

void read_dwell_step(const JsonField &body, WorkContext &context) {
    body.expect_object({"time"});
    context.job().work.push_back(Dwell{body.member("time").non_negative_number()});
}

void read_sheet_move_step(const JsonField &body, WorkContext &context) {
    body.expect_object({"x", "y"});
    context.job().work.push_back(SheetMove{body.member("x").number(), body.member("y").number()});
}

void read_reposition_step(const JsonField &body, WorkContext &context) {
    body.expect_object({"x", "y", "dx", "clamp_travel"});
    Reposition r;
    r.x = body.member("x").number();
    r.y = body.member("y").number();
    r.dx = body.member("dx").number();
    std::vector<Operation> &work = context.job().work;
    if (body.has("clamp_travel")) {
        r.clamp_travel = body.member("clamp_travel").number();
    } else {
        context.use_machine_clamp_travel(work.size());
    }
    work.push_back(r);
}

void read_flip_step(const JsonField &body, WorkContext &context) {
    body.expect_object({});
    context.job().work.push_back(FlipSheet{});
}

void read_turn_step(const JsonField &body, WorkContext &context) {
    body.expect_object({"kind"});
    context.job().work.push_back(TurnSheet{body.member("kind").int32()});
}

}  // namespace job
