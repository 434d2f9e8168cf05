// control.cpp - the control model's main loop and the blocks it runs at once:
// strokes, positionings, laser blocks, mode words, offsets, re-grips.
#include "nc/control.h"

#include <cmath>

#include "nc/m_words.h"
#include "nc/operator_notes.h"
#include "nc/program_error.h"

namespace nc {
namespace {

// A positioning M word and what it moves the sheet for.
bool positioning_purpose(int m, MovePurpose &purpose) {
    switch (m) {
    case M_POSITION: purpose = MovePurpose::plain; return true;
    case M_PARK: purpose = MovePurpose::park; return true;
    case M_UNLOAD: purpose = MovePurpose::unload; return true;
    default: return false;
    }
}

bool has(const Block &b, std::uint16_t bits) { return (b.words & bits) != 0; }

}  // namespace

Control::Control(BlockReader &reader, const Setup &setup)
    : reader_(reader), setup_(setup), unit_(setup.inch ? MM_PER_INCH : 1.0), x_(setup.load_x), y_(setup.load_y) {
    out_.reserve(8);
}

void Control::fail(const std::string &message) const { throw ProgramError(where_.line, message); }

Event Control::event(EventKind kind) const {
    Event e;
    e.kind = kind;
    e.where = where_;
    e.x0 = e.x = x_;
    e.y0 = e.y = y_;
    e.tool = tool_;
    e.technology = laser_;
    return e;
}

void Control::origin(double &x, double &y) const {
    if (in_copy_) {
        x = copy_x_;
        y = copy_y_;
    } else if (offset_) {
        x = offset_x_;
        y = offset_y_;
    } else {
        x = 0.0;
        y = 0.0;
    }
}

void Control::target(const Block &b, double &x, double &y) const {
    x = x_;
    y = y_;
    if (b.incremental) {
        if (has(b, WORD_X)) x = x_ + length(b.x);
        if (has(b, WORD_Y)) y = y_ + length(b.y);
        return;
    }
    double ox = 0.0, oy = 0.0;
    origin(ox, oy);
    if (has(b, WORD_X)) x = ox + length(b.x);
    if (has(b, WORD_Y)) y = oy + length(b.y);
}

// ---- The main loop ----------------------------------------------------------------

Generator<Event> Control::events() {
    Block b;
    while (reader_.next(b)) {
        // A line the control takes, but not as the dialect ends it: told
        // once, where it is read, also a line of a pattern's definition
        // (its copies run it again; a definition never called runs it never).
        if (b.line_end == LineEnd::line_feed && b.kind != BlockKind::end) {
            Event e = event(EventKind::format);
            e.where = Source{b.line, 0};
            e.number = FORMAT_LINE_FEED;
            co_yield e;
        }
        if (record(b)) continue;
        Generator<Event> of_block = run(b);
        Event e;
        while (of_block.next(e)) co_yield e;
    }
}

Generator<Event> Control::run(const Block &b) {
    out_.clear();
    execute(b);
    for (const Event &e : out_) co_yield e;
    if (expansion_.kind != Expansion::Kind::none) {
        Expansion x = expansion_;
        expansion_ = Expansion{};
        Generator<Event> more = expand(x);
        Event e;
        while (more.next(e)) co_yield e;
    }
}

// ---- One block ------------------------------------------------------------------------

void Control::execute(const Block &b) {
    where_ = Source{b.line, in_copy_ ? where_.call_line : 0};
    const bool comment = b.kind == BlockKind::comment;
    // (A line ended by a line feed alone is told where it is read: events().)
    // An empty line is nothing to the control: it neither stands between
    // what must follow what nor ends a comment's place before a stop.
    if (b.kind == BlockKind::empty) return;
    // 1. What must follow what: NBL/ its nibbling command, M41 the clamps'
    // travel up to M42.
    if (nibbling_armed_ && b.kind != BlockKind::nibble_line && b.kind != BlockKind::nibble_arc) {
        throw ProgramError(nibbling_line_, "NBL/ is not followed by its nibbling command (CAA/Z or RAD/I)");
    }
    if (clamps_open_ && !(b.kind == BlockKind::words && b.words == (b.words & (WORD_X | WORD_Y))) &&
        !(b.kind == BlockKind::words && b.words == WORD_M && b.m == M_CLAMPS_CLOSE)) {
        fail("only the clamps' travel stands between M41 and M42");
    }
    if (trap_door_armed_ && !(b.kind == BlockKind::words && b.m == M_TRAP_DOOR)) {
        throw ProgramError(trap_door_line_, "M55 is not followed by the trap door's block with M56");
    }

    // 2. The block.
    switch (b.kind) {
    case BlockKind::empty: return;  // above
    case BlockKind::start: {
        Event e = event(EventKind::program_start);
        e.number = static_cast<int>(b.count);
        emit(e);
        break;
    }
    case BlockKind::program_number: {
        Event e = event(EventKind::program_number);
        e.number = static_cast<int>(b.count);
        emit(e);
        break;
    }
    case BlockKind::user_text:
    case BlockKind::comment: {
        Event e = event(comment ? EventKind::comment : EventKind::user_text);
        e.text = b.text;
        if (!comment && b.parameter < 0) e.number = 1;  // a command of the machine's laser parameters
        emit(e);
        break;
    }
    case BlockKind::end: {
        if (cutting_) fail("the program ends while the laser cuts (no LED/DX0DY0)");
        if (clamps_open_) fail("the program ends between M41 and M42");
        emit(event(EventKind::program_end));
        if (b.line_end != LineEnd::none) {
            Event e = event(EventKind::format);
            e.number = FORMAT_AFTER_END;
            emit(e);
        }
        break;
    }
    case BlockKind::material: {
        Event e = event(EventKind::sheet);
        e.number = static_cast<int>(b.count);
        e.value = length(b.values[0]);
        e.x = length(b.values[1]);
        e.value2 = length(b.values[2]);
        e.x0 = x_;
        emit(e);
        break;
    }
    case BlockKind::words: execute_words(b); break;
    case BlockKind::position: {
        if (cutting_) fail("MOV/ while the laser cuts");
        Event e = event(EventKind::move);
        target(b, e.x, e.y);
        e.purpose = MovePurpose::approach;
        x_ = e.x;
        y_ = e.y;
        emit(e);
        break;
    }
    case BlockKind::nibble_on:
        if (cutting_) fail("NBL/ while the laser cuts");
        nibbling_armed_ = true;
        nibbling_line_ = b.line;
        break;
    case BlockKind::nibble_line: nibble_line(b); break;
    case BlockKind::nibble_arc: nibble_arc(b); break;
    case BlockKind::bolt_hole_circle: holes(b); break;
    case BlockKind::row: row(b); break;
    case BlockKind::laser_circle: laser_circle(b); break;
    case BlockKind::laser_arc: laser_arc(b); break;
    case BlockKind::laser_end:
        if (!cutting_) fail("LED/DX0DY0 while no cut runs");
        cutting_ = false;
        laser_.compensation = Compensation::none;
        emit(event(EventKind::cut_end));
        break;
    case BlockKind::offset:
        if (in_copy_) fail("OFS/ inside a pattern");
        offset_ = b.x != 0.0 || b.y != 0.0;
        offset_x_ = length(b.x);
        offset_y_ = length(b.y);
        break;
    case BlockKind::pattern_begin:
    case BlockKind::pattern_end: break;  // taken by record()
    case BlockKind::pattern_call: call(b); break;
    case BlockKind::pattern_repeat: repeat(b); break;
    case BlockKind::reposition: {
        if (cutting_) fail("REP/ while the laser cuts");
        Event e = event(EventKind::regrip);
        e.value = length(b.values[0]);
        e.number = 1;
        emit(e);
        break;
    }
    case BlockKind::frame: {
        Event e = event(EventKind::frame);
        x_ = e.x = length(b.values[0]);
        emit(e);
        break;
    }
    case BlockKind::dwell: {
        Event e = event(EventKind::dwell);
        e.value = b.values[0];
        emit(e);
        break;
    }
    case BlockKind::parameter: {
        Event e = event(EventKind::parameter_line);
        e.number = b.parameter;
        e.text = b.text;
        emit(e);
        break;
    }
    }
    reload_note_ = comment && reloads_the_sheet(reader_.texts().text(b.text));
}

void Control::execute_words(const Block &b) {
    if (clamps_open_) {
        if (b.words == WORD_M) {
            execute_m_word(b);
        } else {
            clamp_travel(b);
        }
        return;
    }
    if (has(b, WORD_F) || b.compensation != Compensation::none) {
        laser_block(b);
        return;
    }
    if (has(b, WORD_M) && !has(b, WORD_X | WORD_Y)) {
        execute_m_word(b);
        return;
    }
    if (has(b, WORD_M)) {
        positioning(b);
        return;
    }
    tool_and_index(b);
    if (!has(b, WORD_X | WORD_Y)) return;  // a tool and index block: no stroke
    // A stroke.
    if (cutting_) fail("a stroke while the laser cuts (no LED/DX0DY0 before it)");
    if (tool_.station == 0) fail("a stroke before any station was selected (no T word yet)");
    Event e = event(EventKind::stroke);
    target(b, e.x, e.y);
    if (offset_ && !in_copy_ && !b.incremental) e.form |= FORM_OFFSET;
    x_ = e.x;
    y_ = e.y;
    emit(e);
}

// T and C: a station change takes the new station at 0 degrees, then the
// index turns to the C word's angle.
void Control::tool_and_index(const Block &b) {
    if (has(b, WORD_T) && b.t != tool_.station) {
        Event e = event(EventKind::tool_change);
        e.value = tool_.angle;  // where the index stood when the turret turned
        e.number = tool_.station;
        tool_.station = b.t;
        tool_.angle = 0.0;
        e.tool = tool_;
        emit(e);
    }
    if (has(b, WORD_C) && b.c != tool_.angle) emit(turn_index(b.c));
}

Event Control::turn_index(double angle) {
    Event e = event(EventKind::index_turn);
    e.value = tool_.angle;
    tool_.angle = e.tool.angle = angle;
    return e;
}

void Control::positioning(const Block &b) {
    if (cutting_) fail("a positioning while the laser cuts (no LED/DX0DY0 before it)");
    tool_and_index(b);
    Event e = event(b.m == M_TRAP_DOOR ? EventKind::trap_door : EventKind::move);
    target(b, e.x, e.y);
    if (b.m == M_TRAP_DOOR) {
        if (!trap_door_armed_) fail("M56 opens the trap door after M55, which did not come");
        trap_door_armed_ = false;
    } else {
        positioning_purpose(b.m, e.purpose);
    }
    x_ = e.x;
    y_ = e.y;
    emit(e);
}

// A laser block: the start of a cut (the head goes there and pierces) while
// the beam is off, a straight cut while it is on.
void Control::laser_block(const Block &b) {
    if (!has(b, WORD_X | WORD_Y)) fail("F stands with the coordinates of a laser block");
    if (has(b, WORD_F)) laser_.feed = b.f;
    double x = 0.0, y = 0.0;
    target(b, x, y);
    if (!cutting_) {
        if (b.compensation != Compensation::none) laser_.compensation = b.compensation;
        Event e = event(EventKind::pierce);
        e.x = x;
        e.y = y;
        x_ = x;
        y_ = y;
        cutting_ = true;
        emit(e);
        return;
    }
    if (b.compensation != Compensation::none) fail("LAL/ or LAR/ inside a running cut");
    Event e = event(EventKind::laser);
    e.shape = Shape::line;
    e.x = x;
    e.y = y;
    x_ = x;
    y_ = y;
    emit(e);
}

void Control::execute_m_word(const Block &b) {
    Event e = event(EventKind::stop);
    switch (b.m) {
    case M_STOP:
        if (cutting_) fail("M00 while the laser cuts");
        e.number = reload_note_ ? 1 : 0;
        emit(e);
        break;
    case M_FORMING_ON: tool_.forming = true; break;
    case M_FORMING_OFF: tool_.forming = false; break;
    case M_TOOL_MODE_0: tool_.m61x = 0; break;
    case M_TOOL_MODE_1: tool_.m61x = 1; break;
    case M_TOOL_MODE_2: tool_.m61x = 2; break;
    case M_TOOL_MODE_3: tool_.m61x = 3; break;
    case M_LASER_WORK: emit(event(EventKind::laser_work)); break;
    case M_REWIND: emit(event(EventKind::rewind)); break;
    case M_HEAD_UP: emit(event(EventKind::head_up)); break;
    case M_SMOOTH_JUNCTION: laser_.junction = Junction::smooth; break;
    case M_CORNER_JUNCTION: laser_.junction = Junction::corner; break;
    case M_TECHNOLOGY_1: laser_.mode = 1; laser_.s = b.s; break;
    case M_TECHNOLOGY_2: laser_.mode = 2; laser_.s = b.s; break;
    case M_TECHNOLOGY_3: laser_.mode = 3; laser_.s = b.s; break;
    case M_TECHNOLOGY_OTHER: laser_.mode = 0; laser_.s = b.s; break;
    case M_SELECTOR_1: laser_.m7x = 1; break;
    case M_SELECTOR_2: laser_.m7x = 2; break;
    case M_SELECTOR_3: laser_.m7x = 3; break;
    case M_SELECTOR_4: laser_.m7x = 4; break;
    case M_HEAD_MODE_1: laser_.head = 1; break;
    case M_HEAD_MODE_0: laser_.head = 0; break;
    case M_HEAD_MODE_2: laser_.head = 2; break;
    case M_HEAD_MODE_LEAVE: laser_.head = -1; break;
    case M_FEED_FULL:
    case M_FEED_THREE_QUARTERS:
    case M_FEED_HALF:
    case M_FEED_QUARTER:
        e.kind = EventKind::feed_range;
        e.number = b.m;
        emit(e);
        break;
    case M_CLAMPS_OPEN:
        if (cutting_) fail("M41 while the laser cuts");
        clamps_open_ = true;
        regrip_ = event(EventKind::regrip);
        regrip_.number = 0;
        break;
    case M_CLAMPS_CLOSE: {
        if (!clamps_open_) fail("M42 closes the clamps after M41, which did not come");
        clamps_open_ = false;
        // The sheet stayed while the clamps travelled: what follows is read
        // against the sheet shifted by their travel.
        regrip_.value = -(x_ - regrip_.x0);
        regrip_.value2 = y_ - regrip_.y0;
        regrip_.x = x_;
        regrip_.y = y_;
        emit(regrip_);
        break;
    }
    case M_TRAP_DOOR_READY:
        trap_door_armed_ = true;
        trap_door_line_ = b.line;
        break;
    default: fail("M" + std::to_string(b.m) + " does not stand alone");
    }
}

// Between M41 and M42 the axes move the open clamps, not the sheet.
void Control::clamp_travel(const Block &b) {
    double x = 0.0, y = 0.0;
    target(b, x, y);
    x_ = x;
    y_ = y;
    regrip_.value3 = std::max(regrip_.value3, std::fabs(y_ - regrip_.y0));
}

}  // namespace nc
