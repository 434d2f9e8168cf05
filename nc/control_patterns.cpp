// control_patterns.cpp - the control's patterns: definitions stored as they
// are read, single calls and rows of copies, and patterns the control holds
// already.
//
// A copy runs with its origin where the call puts it: at the offset in
// force (OFS/), or where the tool stands; a row of copies (MGR/) goes on
// from one pitch before the first.  The tool is brought to each copy's
// origin; inside it, absolute values count from that origin and incremental
// words from the tool.
#include <cstdio>

#include "nc/control.h"
#include "nc/program_error.h"

namespace nc {
namespace {

std::string pattern_name(int number) {
    char text[24];
    std::snprintf(text, sizeof text, "PAT%02d", number);
    return text;
}

}  // namespace

bool Control::record(const Block &b) {
    if (!recording_) {
        if (b.kind == BlockKind::pattern_end) {
            throw ProgramError(b.line, "END" + pattern_name(b.pattern).substr(3) + " ends no definition");
        }
        if (b.kind != BlockKind::pattern_begin) return false;
        if (cutting_) throw ProgramError(b.line, "a pattern definition while the laser cuts");
        recording_ = true;
        recording_number_ = b.pattern;
        recording_line_ = b.line;
        recorded_.clear();
        return true;
    }
    const std::string open = pattern_name(recording_number_) + "/ (line " + std::to_string(recording_line_) + ")";
    switch (b.kind) {
    case BlockKind::pattern_end:
        if (b.pattern != recording_number_) throw ProgramError(b.line, "this END does not close " + open);
        if (definitions_.count(b.pattern) != 0) {
            throw ProgramError(recording_line_, pattern_name(b.pattern) + " is defined twice");
        }
        definitions_.emplace(b.pattern, std::move(recorded_));
        recorded_ = {};
        recording_ = false;
        return true;
    case BlockKind::pattern_begin:
    case BlockKind::pattern_call:
    case BlockKind::pattern_repeat:
        throw ProgramError(b.line, "patterns do not nest: this stands inside the definition of " + open);
    case BlockKind::offset: throw ProgramError(b.line, "OFS/ inside the definition of " + open);
    case BlockKind::end: throw ProgramError(b.line, "the program ends inside the definition of " + open);
    default: recorded_.push_back(b); return true;
    }
}

void Control::call(const Block &b) {
    if (in_copy_) fail("a pattern cannot call a pattern");
    if (cutting_) fail(pattern_name(b.pattern) + " while the laser cuts");
    if (definitions_.count(b.pattern) == 0 && setup_.stored_patterns.count(b.pattern) == 0) {
        fail(pattern_name(b.pattern) + " calls a pattern that the program does not define and the control does not hold");
    }
    expansion_.kind = Expansion::Kind::copies;
    expansion_.block = b;
    origin(expansion_.x, expansion_.y);
    if (!offset_) {
        expansion_.x = x_;
        expansion_.y = y_;
    }
    expansion_.dx = 0.0;
    expansion_.dy = 0.0;
    expansion_.count = 1;
}

void Control::repeat(const Block &b) {
    if (in_copy_) fail("a pattern cannot call a pattern");
    if (cutting_) fail("MGR/ while the laser cuts");
    if (definitions_.count(b.pattern) == 0 && setup_.stored_patterns.count(b.pattern) == 0) {
        fail("MGR/ repeats a pattern that the program does not define and the control does not hold");
    }
    expansion_.kind = Expansion::Kind::copies;
    expansion_.block = b;
    expansion_.x = offset_ ? offset_x_ : x_;
    expansion_.y = offset_ ? offset_y_ : y_;
    expansion_.dx = 0.0;
    expansion_.dy = 0.0;
    for (int i = 0; i < b.part_count; ++i) {
        const double pitch = length(b.parts[i].pitch) * b.parts[i].sign;
        (b.parts[i].axis == 'X' ? expansion_.dx : expansion_.dy) = pitch;
    }
    expansion_.count = b.count;
}

Generator<Event> Control::run_copy(int pattern, double ox, double oy, long long copy, long long call_line) {
    // 1. The tool comes to the copy's origin.
    where_ = Source{call_line, 0};
    Event start = event(EventKind::copy);
    start.x = ox;
    start.y = oy;
    start.number = pattern;
    start.count = copy;
    x_ = ox;
    y_ = oy;
    co_yield start;

    // 2. The body, as defined in the program.
    in_copy_ = true;
    copy_x_ = ox;
    copy_y_ = oy;
    where_.call_line = call_line;
    if (const auto found = definitions_.find(pattern); found != definitions_.end()) {
        for (const Block &b : found->second) {
            Generator<Event> of_block = run(b);
            Event e;
            while (of_block.next(e)) co_yield e;
        }
        if (nibbling_armed_) throw ProgramError(nibbling_line_, "NBL/ is not followed by its nibbling command (CAA/Z or RAD/I)");
        in_copy_ = false;
        co_return;
    }

    // 3. Or as the control holds it: the events of one copy, placed at the
    // origin, with the station in use.
    const StoredPattern &stored = setup_.stored_patterns.at(pattern);
    for (const Event &s : stored.events) {
        Event e = s;
        e.where = Source{call_line, call_line};
        e.checks = 0;
        shift(e, ox, oy);
        switch (s.kind) {
        case EventKind::stroke:
        case EventKind::nibble:
        case EventKind::move:
            if ((s.checks & CHECK_ANGLE) != 0 && s.tool.angle != tool_.angle) co_yield turn_index(s.tool.angle);
            e.tool = tool_;
            break;
        case EventKind::pierce:
            cutting_ = true;
            laser_ = s.technology;
            break;
        case EventKind::laser: laser_ = s.technology; break;
        case EventKind::cut_end:
            cutting_ = false;
            laser_.compensation = Compensation::none;
            break;
        default: break;
        }
        x_ = e.x;
        y_ = e.y;
        co_yield e;
    }
    x_ = ox + stored.end_x;
    y_ = oy + stored.end_y;
    in_copy_ = false;
}

}  // namespace nc
