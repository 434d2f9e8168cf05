// sheet_steps.cpp - the work steps that concern the sheet: stop, trap door,
// tab break, free NC text, feed rate, dwell, sheet move, repositioning, flip
// and turn.
#include <string>

#include "job/work_steps.h"
#include "nc/block_parser.h"
#include "nc/m_words.h"
#include "nc/program_error.h"

namespace job {
namespace {

// Why the control could not take the text as one block the program can go
// on from, or "" when it can.  The text goes to the control as it stands,
// and the host cannot follow what it makes the machine do: a text the
// control runs as a stroke, a move, a tool or a mode of its own would leave
// the next step's words wrong.  So it may be a comment for the operator, a
// stop, a dwell, or a text that is no block of the dialect at all (the
// control's own business); control characters are refused by
// JsonField::text already.
std::string nc_text_fault(const std::string &text) {
    if (text.find('%') != std::string::npos) {
        return "an NC text must not hold '%': the control takes it as the end of the program";
    }
    bool open = false;
    for (char c : text) {
        if (c == '(' && open) return "an NC text must not open a comment inside a comment: the control does not nest them";
        if (c == ')' && !open) return "an NC text must not close a comment with ')' it did not open";
        if (c == '(' || c == ')') open = c == '(';
    }
    if (open) return "an NC text must close the comment it opens with '(': it would run into the blocks after it";
    if (!text.empty() && text.front() == '(' && text.back() != ')') {
        return "an NC text that opens with '(' is a comment and must end with its ')'";
    }
    nc::Block block;
    try {
        block = nc::parse_block(text, 2, false, nc::KnownTexts{});
    } catch (const nc::ProgramError &) {
        return "";  // no block of the dialect: the control's own business
    }
    switch (block.kind) {
    case nc::BlockKind::empty:
    case nc::BlockKind::comment:
    case nc::BlockKind::dwell: return "";
    case nc::BlockKind::words:
        if (block.words == nc::WORD_M && block.m == nc::M_STOP) return "";
        break;
    default: break;
    }
    return "the NC text is a block the control runs (a stroke, a move, a command or a mode of its own): the "
           "program could not go on from what it does; write it as a work step, or as a comment, stop or dwell";
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
