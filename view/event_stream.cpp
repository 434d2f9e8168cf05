// event_stream.cpp - events packed for the page.
#include "view/event_stream.h"

#include <cmath>

namespace view {
namespace {

constexpr double LIMIT_MM = 1e9;  // a kilometre of kilometres: beyond any sheet

std::uint64_t zigzag(std::int64_t v) {
    return (static_cast<std::uint64_t>(v) << 1) ^ static_cast<std::uint64_t>(v >> 63);
}

std::uint8_t record_of(nc::EventKind kind) {
    using nc::EventKind;
    switch (kind) {
    case EventKind::stroke: return R_STROKE;
    case EventKind::nibble: return R_NIBBLE;
    case EventKind::pierce: return R_PIERCE;
    case EventKind::laser: return R_LASER;
    case EventKind::cut_end: return R_CUT_END;
    case EventKind::move: return R_MOVE;
    case EventKind::copy: return R_COPY;
    case EventKind::stop: return R_STOP;
    case EventKind::regrip: return R_REGRIP;
    case EventKind::frame: return R_FRAME;
    case EventKind::trap_door: return R_TRAP_DOOR;
    case EventKind::dwell: return R_DWELL;
    case EventKind::feed_range: return R_FEED_RANGE;
    case EventKind::tool_change: return R_TOOL_CHANGE;
    case EventKind::index_turn: return R_INDEX_TURN;
    case EventKind::sheet: return R_SHEET;
    case EventKind::parameter_line: return R_PARAMETER;
    default: return R_OTHER;
    }
}

// Thousandths of a degree, of a second, of a feed unit.
std::int64_t thousandths(double v) {
    if (!std::isfinite(v)) return 0;
    return static_cast<std::int64_t>(std::llround(std::fmax(-LIMIT_MM, std::fmin(LIMIT_MM, v)) * 1000.0));
}

}  // namespace

std::int64_t micrometres(double mm) { return thousandths(mm); }

void EventStream::number(std::uint64_t v) {
    while (v >= 0x80) {
        bytes_ += static_cast<char>(static_cast<std::uint8_t>(v & 0x7f) | 0x80);
        v >>= 7;
    }
    bytes_ += static_cast<char>(v);
}

void EventStream::signed_number(std::int64_t v) { number(zigzag(v)); }

void EventStream::length(double mm) { number(static_cast<std::uint64_t>(std::max<std::int64_t>(0, micrometres(mm)))); }

void EventStream::tool(const nc::Tool &t) {
    if (have_tool_ && t.station == tool_.station && t.angle == tool_.angle && t.forming == tool_.forming &&
        t.m61x == tool_.m61x) {
        return;
    }
    have_tool_ = true;
    tool_ = t;
    bytes_ += static_cast<char>(R_TOOL);
    signed_number(t.station);
    signed_number(thousandths(t.angle));
    number(static_cast<std::uint64_t>((t.forming ? 1 : 0) | (std::max(0, std::min(t.m61x, 63)) << 1)));
}

void EventStream::technology(const nc::Technology &t) {
    if (have_technology_ && t.head == technology_.head && t.m7x == technology_.m7x && t.mode == technology_.mode &&
        t.s == technology_.s && t.feed == technology_.feed && t.compensation == technology_.compensation) {
        return;
    }
    have_technology_ = true;
    technology_ = t;
    bytes_ += static_cast<char>(R_TECHNOLOGY);
    signed_number(t.head);
    signed_number(t.m7x);
    signed_number(t.mode);
    signed_number(t.s);
    signed_number(thousandths(t.feed));
    number(static_cast<std::uint64_t>(t.compensation));
}

void EventStream::add(const nc::Event &e, double seconds, double shift_x, double shift_y, int side) {
    using nc::EventKind;
    const std::uint8_t kind = record_of(e.kind);
    if (kind == R_STROKE || kind == R_NIBBLE || kind == R_MOVE || kind == R_TOOL_CHANGE || kind == R_INDEX_TURN) tool(e.tool);
    if (kind == R_PIERCE || kind == R_LASER) technology(e.technology);
    if (shift_x != shift_x_ || shift_y != shift_y_ || side != side_) {
        shift_x_ = shift_x;
        shift_y_ = shift_y;
        side_ = side;
        bytes_ += static_cast<char>(R_SHEET_PLACE);
        signed_number(micrometres(shift_x));
        signed_number(micrometres(shift_y));
        number(static_cast<std::uint64_t>(std::max(0, side)));
    }
    const std::int64_t x0 = micrometres(e.x0), y0 = micrometres(e.y0), x = micrometres(e.x), y = micrometres(e.y);
    const bool own_start = x0 != x_ || y0 != y_;
    const bool stays = !own_start && x == x_ && y == y_;
    const bool in_copy = e.where.call_line != 0;
    bytes_ += static_cast<char>(kind | (in_copy ? IN_COPY : 0) | (own_start ? OWN_START : 0) | (stays ? STAYS : 0));
    signed_number(e.where.line - line_);
    line_ = e.where.line;
    // The start (relative to the end before), then the end (to the start).
    if (own_start) {
        signed_number(x0 - x_);
        signed_number(y0 - y_);
    }
    if (!stays) {
        signed_number(x - x0);
        signed_number(y - y0);
    }
    x_ = x;
    y_ = y;
    // Time: whole hundredths of a second of the running sum, so that
    // rounding never adds up.
    if (std::isfinite(seconds) && seconds > 0.0) seconds_ += seconds;
    const auto total = static_cast<std::int64_t>(std::llround(std::fmin(seconds_, 1e12) * 100.0));
    number(static_cast<std::uint64_t>(std::max<std::int64_t>(0, total - hundredths_)));
    hundredths_ = std::max(hundredths_, total);
    if (in_copy) signed_number(e.where.call_line - e.where.line);
    switch (e.kind) {
    case EventKind::nibble:
    case EventKind::laser:
        number(static_cast<std::uint64_t>(e.shape));
        if (e.kind == EventKind::nibble) length(e.step);
        if (e.shape != nc::Shape::line) {
            signed_number(micrometres(e.xc) - x_);
            signed_number(micrometres(e.yc) - y_);
            length(e.radius);
            signed_number(thousandths(e.sweep));
        }
        break;
    case EventKind::move: number(static_cast<std::uint64_t>(e.purpose)); break;
    case EventKind::copy:
        signed_number(e.number);
        signed_number(e.count);
        break;
    case EventKind::stop:
    case EventKind::feed_range:
    case EventKind::parameter_line: signed_number(e.number); break;
    case EventKind::regrip:
        signed_number(e.number);
        signed_number(micrometres(e.value));
        signed_number(micrometres(e.value2));
        signed_number(micrometres(e.value3));
        break;
    case EventKind::dwell: signed_number(thousandths(e.value)); break;
    case EventKind::sheet:
        signed_number(e.number);
        signed_number(micrometres(e.value));
        signed_number(micrometres(e.value2));
        break;
    default: break;
    }
    ++events_;
}

}  // namespace view
