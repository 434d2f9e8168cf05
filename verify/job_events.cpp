// job_events.cpp - a job expanded into what the machine does.
//
// The rules are the machine's, as docs/nc-output.md and docs/job-format.md
// state them: a row spreads its hits evenly from the first to the last; the
// control leaves the tool 5 mm outside a nibbled circle or arc; a re-grip
// by command keeps the control's X, one by the explicit sequence moves it
// back by the distance; flip and turn bring the sheet to the load position
// and tell the operator what to do; the laser head goes up after a cut that
// ends with a laser-off type of 2 or more, and before punching and sheet
// handling after one that left it down; the program ends with the index at
// 0, parked at the load position, shifted by the re-grips made by command.
#include "verify/job_events.h"

#include <cctype>
#include <climits>
#include <cmath>
#include <numbers>
#include <type_traits>
#include <variant>

#include "nc/block_parser.h"
#include "nc/m_words.h"
#include "nc/program_error.h"
#include "verify/program_texts.h"

namespace verify {
namespace {

using nc::Event;
using nc::EventKind;

constexpr double RADIANS_PER_DEGREE = std::numbers::pi / 180.0;
constexpr double DEGREES_PER_RADIAN = 180.0 / std::numbers::pi;
constexpr double FULL_TURN = 360.0;
constexpr double SAME_POINT = 1e-6;  // the control's own comparison of positions
constexpr double UNLOAD_OFFSET_Y = 25.0;  // the unload block lies this far from the park in Y
constexpr int TRAP_DOOR_OPENS = 5;        // the one trap-door kind this machine opens
constexpr int LASER_WORK_IN_USE = 2;      // laser_allowed: M20 around the work
constexpr int HEAD_UP_FROM_OFF_TYPE = 2;  // a cut ending with this laser-off type or more raises the head

// Junctions: the sine of the angle between the two elements' directions
// where they meet.  The host's geometry finds a junction smooth to within a
// millionth of a millimetre over the elements' size, which for the shortest
// elements the control takes is a few hundredths of a radian.
constexpr double SMOOTH_BELOW = 1e-7;
constexpr double CORNER_ABOVE = 0.05;

// Like C's atoi on the texts the machine reads: blanks, a sign, digits.
long long leading_number(const std::string &text, std::size_t from = 0) {
    std::size_t i = from;
    while (i < text.size() && std::isspace(static_cast<unsigned char>(text[i]))) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) negative = text[i++] == '-';
    long long value = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        if (value < LLONG_MAX / 100) value = value * 10 + (text[i] - '0');
    }
    return negative ? -value : value;
}

double swept(double a, double b, bool counter_clockwise) {
    double d = std::fmod(b - a, FULL_TURN);
    if (counter_clockwise) {
        if (d <= 0.0) d += FULL_TURN;
    } else if (d >= 0.0) {
        d -= FULL_TURN;
    }
    return d;
}

double angle_of(double x, double y, double xc, double yc) { return std::atan2(y - yc, x - xc) * DEGREES_PER_RADIAN; }

bool same_point(double x1, double y1, double x2, double y2) {
    return std::fabs(x1 - x2) < SAME_POINT && std::fabs(y1 - y2) < SAME_POINT;
}

nc::Compensation compensation_of(job::Compensation c) {
    switch (c) {
    case job::Compensation::left: return nc::Compensation::left;
    case job::Compensation::right: return nc::Compensation::right;
    case job::Compensation::none: break;
    }
    return nc::Compensation::none;
}

bool switches_modes(int variant) { return variant == 7001 || variant == 7002; }

// The direction an element runs in at a point of it (x, y): along a line,
// along the tangent of an arc in its sense.
void direction_at(const job::LaserElement &e, double x, double y, double &dx, double &dy) {
    if (e.kind == job::LaserElement::Kind::line) {
        dx = e.x2 - e.x1;
        dy = e.y2 - e.y1;
        return;
    }
    const double rx = x - e.xc, ry = y - e.yc;
    dx = e.counter_clockwise ? -ry : ry;
    dy = e.counter_clockwise ? rx : -rx;
}

// What a call of a pattern puts in place: the body's punch (its first
// punching step's tool and index angle) whatever stands before it, for the
// control repeats a body without its tool changes; none for a body that
// only cuts.
struct Entry {
    int tool = 0;
    double angle = 0.0;
};

Entry entry_of(const job::Pattern &p, const job::Job &job) {
    Entry entry;
    for (const job::Operation &op : p.body) {
        job::visit_step(op, job, [&](const auto &step) {
            using Step = std::decay_t<decltype(step)>;
            if constexpr (std::is_same_v<Step, job::Hit> || std::is_same_v<Step, job::PunchElement>) {
                if (entry.tool == 0) {
                    entry.tool = step.tool;
                    entry.angle = step.angle;
                }
            }
        });
        if (entry.tool != 0) break;
    }
    return entry;
}

}  // namespace

int feed_range_word(double feed, double max_feed) {
    constexpr double EPSILON = 1e-6;
    if (feed > -EPSILON && feed - 0.25 * max_feed < EPSILON) return nc::M_FEED_QUARTER;
    if (feed - 0.25 * max_feed >= EPSILON && feed - 0.5 * max_feed < EPSILON) return nc::M_FEED_HALF;
    if (feed - 0.5 * max_feed >= EPSILON && feed - 0.75 * max_feed < EPSILON) return nc::M_FEED_THREE_QUARTERS;
    return nc::M_FEED_FULL;
}

nc::Junction junction_between(const job::LaserElement &a, const job::LaserElement &b) {
    double ax = 0.0, ay = 0.0, bx = 0.0, by = 0.0;
    direction_at(a, a.x2, a.y2, ax, ay);
    direction_at(b, b.x1, b.y1, bx, by);
    const double la = std::hypot(ax, ay), lb = std::hypot(bx, by);
    if (!(la > SAME_POINT) || !(lb > SAME_POINT)) return nc::Junction::either;
    const double sine = std::fabs(ax * by - ay * bx) / (la * lb);
    if (sine < SMOOTH_BELOW) return nc::Junction::smooth;
    return sine > CORNER_ABOVE ? nc::Junction::corner : nc::Junction::either;
}

JobEvents::JobEvents(const job::Job &job, const nc::Setup &setup) : job_(job), setup_(setup) {
    for (const job::Station &s : job.turret) stations_.emplace(s.tool, &s);
    for (const job::LaserTechnology &t : job.technologies) technologies_.emplace(t.number, &t);
    out_.reserve(8);
}

Event JobEvents::event(EventKind kind) const {
    Event e;
    e.kind = kind;
    e.x0 = e.x = s_.x;
    e.y0 = e.y = s_.y;
    e.tool.station = s_.station;
    e.tool.angle = s_.angle;
    return e;
}

nc::Tool JobEvents::use_tool(int tool, double angle, std::uint8_t &checks, const JobPlace &place) {
    const auto found = stations_.find(tool);
    nc::Tool t;
    if (found == stations_.end()) return t;  // the job reader refuses such a step
    const job::Station &station = *found->second;
    if (station.station != s_.station) {
        // The index goes back to 0 before the turret turns; the station is
        // taken at 0 degrees.
        const int left = s_.station;
        s_.station = station.station;
        s_.angle = 0.0;
        Event change = event(EventKind::tool_change);
        change.value = 0.0;
        change.number = left;
        emit(change, place);
    }
    if (station.indexable) {
        s_.angle = angle;
        checks |= nc::CHECK_ANGLE;
    }
    t.station = s_.station;
    t.angle = s_.angle;
    const int variant = job_.machine.post_processor;
    if (switches_modes(variant)) {
        checks |= nc::CHECK_MODES;
        t.forming = station.options.find('F') != std::string::npos;
        const std::size_t r = station.options.find('R');
        if (variant == 7001 && r != std::string::npos) {
            const long long mode = leading_number(station.options, r + 1);
            t.m61x = static_cast<int>(mode < 0 ? 0 : mode > 3 ? 3 : mode);
        }
    }
    return t;
}

void JobEvents::raise_head(const JobPlace &place) {
    if (!s_.head_down) return;
    s_.head_down = false;
    emit(event(EventKind::head_up), place);
}

nc::Technology technology_words(const job::LaserTechnology &tech, bool inch) {
    nc::Technology t;
    const long long m7x = leading_number(tech.m7x);
    t.m7x = m7x >= 2 && m7x <= 4 ? static_cast<int>(m7x) : 1;
    const long long mode = leading_number(tech.mode);
    t.mode = mode >= 1 && mode <= 3 ? static_cast<int>(mode) : 0;
    t.s = leading_number(tech.s_value);
    // F is the feed times 100 on a millimetre machine, times 1000 / 25.4 on
    // an inch machine.
    t.feed = inch ? tech.feedrate * 1000.0 / nc::MM_PER_INCH : tech.feedrate * 100.0;
    return t;
}

nc::Technology JobEvents::technology(const job::LaserElement &e) const {
    nc::Technology t;
    const auto found = technologies_.find(e.technology);
    if (found != technologies_.end()) t = technology_words(*found->second, job_.machine.inch);
    t.head = e.on_type == 0 ? 0 : e.on_type == 3 ? 2 : 1;
    t.compensation = compensation_of(e.compensation);
    return t;
}

void JobEvents::punching_feed(double feed, const JobPlace &place) {
    if (!switches_modes(job_.machine.post_processor)) return;
    Event e = event(EventKind::feed_range);
    e.number = feed_range_word(feed, job_.machine.max_feedrate);
    emit(e, place);
}

void JobEvents::comment(const std::string &text, const JobPlace &place) {
    Event e = event(EventKind::comment);
    e.text = setup_.texts->id(text);
    emit(e, place);
}

// A free NC text does what the control does with it: the job reader takes
// comments, stops, dwells and texts that are no block of the dialect.
void JobEvents::free_text(const std::string &text, const JobPlace &place) {
    nc::Block b;
    try {
        b = nc::parse_block(text, 1, false, setup_.known);
    } catch (const nc::ProgramError &) {
        return;  // the job reader refuses it
    }
    switch (b.kind) {
    case nc::BlockKind::comment: comment(text, place); break;
    case nc::BlockKind::user_text: {
        Event e = event(EventKind::user_text);
        e.text = setup_.texts->id(text);
        emit(e, place);
        break;
    }
    case nc::BlockKind::dwell: {
        Event e = event(EventKind::dwell);
        e.value = b.values[0];
        emit(e, place);
        break;
    }
    case nc::BlockKind::words:
        if (b.words == nc::WORD_M && b.m == nc::M_STOP) emit(event(EventKind::stop), place);
        break;
    default: break;
    }
}

// ---- The whole job ---------------------------------------------------------------------

nc::Generator<JobEvent> JobEvents::events() {
    s_ = State{};
    s_.x = job_.machine.load_x;
    s_.y = job_.machine.load_y;

    // 1. The frame's start and the header.
    out_.clear();
    header();
    for (const JobEvent &e : out_) co_yield e;

    // 2. The work, step by step.
    nc::Generator<JobEvent> work = steps(job_.work, 0.0, 0.0, JobPlace{}, false);
    JobEvent e;
    while (work.next(e)) co_yield e;

    // 3. The trailer.
    out_.clear();
    trailer();
    for (const JobEvent &t : out_) co_yield t;
}

void JobEvents::header() {
    const job::Machine &m = job_.machine;
    auto place = [](const char *what) {
        JobPlace p{JobPlace::Part::header};
        p.what = what;
        return p;
    };
    Event start = event(EventKind::program_start);
    start.number = m.eia ? 1 : 0;
    emit(start, place("code"));
    if (m.use_program_number) {
        Event number = event(EventKind::program_number);
        number.number = m.program_number;
        emit(number, place("program_number"));
    }
    // The material block (7001), the feed range (7001, 7002) and the
    // comments, in ISO code only.
    if (!m.eia) {
        if (m.post_processor == 7001) {
            Event e = event(EventKind::sheet);
            const std::size_t paren = job_.sheet.material.find('(');
            e.number = paren == std::string::npos ? 1 : static_cast<int>(leading_number(job_.sheet.material, paren + 1));
            e.value = job_.sheet.thickness;
            e.x = job_.sheet.size_x;
            e.value2 = job_.sheet.size_y;
            emit(e, place("sheet"));
        }
        punching_feed(m.initial_feedrate, place("initial_feedrate"));
        comment(nest_comment(job_), place("nest_name"));
        comment(sheet_comment(job_), place("sheet"));
        comment(clamp_comment(job_), place("clamps"));
    }
    if (m.laser_allowed == LASER_WORK_IN_USE) emit(event(EventKind::laser_work), place("laser_allowed"));
}

void JobEvents::trailer() {
    const job::Machine &m = job_.machine;
    JobPlace place{JobPlace::Part::trailer};
    place.what = "end";
    raise_head(place);
    s_.angle = 0.0;  // the index goes back to 0
    if (m.laser_allowed == LASER_WORK_IN_USE) {
        place.what = "laser_allowed";
        emit(event(EventKind::laser_work), place);
    }
    place.what = "park";
    Event park = event(EventKind::move);
    park.x = m.load_x + (s_.repositioned ? s_.shift : 0.0);
    park.y = m.loader_unloader == 2 ? 0.0 : m.load_y;
    park.purpose = m.loader_unloader == 1 || m.loader_unloader == 2 ? nc::MovePurpose::park : nc::MovePurpose::plain;
    emit(park, place);
    s_.x = park.x;
    s_.y = park.y;
    if (s_.repositioned) {
        place.what = "frame";
        Event frame = event(EventKind::frame);
        frame.x = s_.x = m.load_x;
        emit(frame, place);
    }
    if (m.loader_unloader == 1 || m.loader_unloader == 2) {
        place.what = "unload";
        Event unload = event(EventKind::move);
        unload.x = m.load_x;
        unload.y = m.loader_unloader == 2 ? UNLOAD_OFFSET_Y : m.load_y + UNLOAD_OFFSET_Y;
        unload.purpose = nc::MovePurpose::unload;
        emit(unload, place);
        s_.x = unload.x;
        s_.y = unload.y;
    }
    if (m.rewind) {
        place.what = "rewind";
        emit(event(EventKind::rewind), place);
    }
    place.what = "end";
    emit(event(EventKind::program_end), place);
}

nc::Generator<JobEvent> JobEvents::steps(const std::vector<job::Operation> &list, double ox, double oy, JobPlace place,
                                         bool in_copy) {
    for (std::size_t i = 0; i < list.size(); ++i) {
        (in_copy ? place.body_step : place.step) = i;
        place.item = -1;
        out_.clear();
        if (few(list[i], ox, oy, place)) {
            for (const JobEvent &e : out_) co_yield e;
            continue;
        }
        nc::Generator<JobEvent> more = many(list[i], ox, oy, place, StepList{&list, i});
        JobEvent e;
        while (more.next(e)) co_yield e;
    }
}

// ---- Steps of a few events ---------------------------------------------------------------

bool JobEvents::few(const job::Operation &op, double ox, double oy, const JobPlace &place) {
    return std::visit(
        [&](const auto &step) -> bool {
            using Step = std::decay_t<decltype(step)>;
            if constexpr (std::is_same_v<Step, job::Hit>) {
                raise_head(place);
                Event e = event(step.position_only ? EventKind::move : EventKind::stroke);
                e.tool = use_tool(step.tool, step.angle, e.checks, place);
                if (step.position_only) e.checks |= nc::CHECK_TOOL;
                e.x = s_.x = ox + step.x;
                e.y = s_.y = oy + step.y;
                emit(e, place);
                return true;
            } else if constexpr (std::is_same_v<Step, job::Movement> || std::is_same_v<Step, job::SheetMove>) {
                Event e = event(EventKind::move);
                e.x = s_.x = ox + step.x;
                e.y = s_.y = oy + step.y;
                emit(e, place);
                return true;
            } else if constexpr (std::is_same_v<Step, job::PunchElementStep>) {
                const job::PunchElement &pe = job_.element(step);
                using Kind = job::PunchElement::Kind;
                if (pe.kind == Kind::row || pe.kind == Kind::bolt_hole_circle) return false;
                raise_head(place);
                std::uint8_t checks = 0;
                const nc::Tool tool = use_tool(pe.tool, pe.angle, checks, place);
                Event e = event(EventKind::nibble);
                e.tool = tool;
                e.checks = checks;
                e.step = pe.step;
                if (pe.kind == Kind::nibbled_line) {
                    e.shape = nc::Shape::line;
                    e.x0 = ox + pe.x1;
                    e.y0 = oy + pe.y1;
                    e.x = s_.x = ox + pe.x2;
                    e.y = s_.y = oy + pe.y2;
                    emit(e, place);
                    return true;
                }
                e.xc = ox + pe.xc;
                e.yc = oy + pe.yc;
                e.radius = pe.radius;
                double start = pe.start_angle, end = pe.start_angle;
                if (pe.kind == Kind::nibbled_circle) {
                    e.shape = nc::Shape::circle;
                    e.sweep = pe.counter_clockwise ? FULL_TURN : -FULL_TURN;
                } else {
                    e.shape = nc::Shape::arc;
                    start = angle_of(pe.x1, pe.y1, pe.xc, pe.yc);
                    end = angle_of(pe.x2, pe.y2, pe.xc, pe.yc);
                    e.sweep = swept(start, end, pe.counter_clockwise);
                }
                e.x0 = e.xc + pe.radius * std::cos(start * RADIANS_PER_DEGREE);
                e.y0 = e.yc + pe.radius * std::sin(start * RADIANS_PER_DEGREE);
                e.x = e.xc + pe.radius * std::cos(end * RADIANS_PER_DEGREE);
                e.y = e.yc + pe.radius * std::sin(end * RADIANS_PER_DEGREE);
                // The control leaves the tool outside the path by its allowance.
                const double outer = pe.radius + nc::NIBBLE_ARC_ALLOWANCE_MM;
                s_.x = e.xc + outer * std::cos(end * RADIANS_PER_DEGREE);
                s_.y = e.yc + outer * std::sin(end * RADIANS_PER_DEGREE);
                emit(e, place);
                return true;
            } else if constexpr (std::is_same_v<Step, job::SheetStop>) {
                emit(event(EventKind::stop), place);
                return true;
            } else if constexpr (std::is_same_v<Step, job::TrapDoor>) {
                if (step.kind != TRAP_DOOR_OPENS) return true;
                Event e = event(EventKind::trap_door);
                e.x = s_.x = s_.x + step.dx;
                e.y = s_.y = s_.y + step.dy;
                emit(e, place);
                return true;
            } else if constexpr (std::is_same_v<Step, job::SheetFeed>) {
                punching_feed(step.feed, place);
                return true;
            } else if constexpr (std::is_same_v<Step, job::Dwell>) {
                Event e = event(EventKind::dwell);
                e.value = step.time;
                emit(e, place);
                return true;
            } else if constexpr (std::is_same_v<Step, job::Reposition>) {
                raise_head(place);
                Event approach = event(EventKind::move);
                approach.x = s_.x = step.x;
                approach.y = s_.y = step.y;
                emit(approach, place);
                Event e = event(EventKind::regrip);
                e.value = step.dx;
                const bool command = job_.machine.reposition_type == 1;
                e.number = command ? 1 : 0;
                if (!command) {
                    e.value3 = std::fabs(step.clamp_travel);
                    s_.x -= step.dx;  // the explicit sequence moves the control's X back
                }
                e.x = s_.x;
                emit(e, place);
                // Only REP/ shifts the program's coordinates against the
                // machine's (the explicit sequence moved the control's X back).
                if (command) s_.shift += step.dx;
                s_.repositioned = true;
                return true;
            } else if constexpr (std::is_same_v<Step, job::FlipSheet> || std::is_same_v<Step, job::TurnSheet>) {
                // A safe state first: the head up, the index at 0, the
                // laser work marked; then the sheet to the load position
                // and the operator told what to do.
                const job::Machine &m = job_.machine;
                raise_head(place);
                s_.angle = 0.0;
                if (m.laser_allowed == LASER_WORK_IN_USE) emit(event(EventKind::laser_work), place);
                Event load = event(EventKind::move);
                load.x = s_.x = m.load_x + (s_.repositioned ? s_.shift : 0.0);
                load.y = s_.y = m.load_y;
                emit(load, place);
                if (s_.repositioned) {
                    Event frame = event(EventKind::frame);
                    frame.x = s_.x = m.load_x;
                    emit(frame, place);
                }
                std::string note = flip_note();
                if constexpr (std::is_same_v<Step, job::TurnSheet>) note = turn_note(step.kind);
                if (!note.empty()) comment(note, place);
                emit(event(EventKind::stop), place);
                // The operator loads the sheet afresh at the load position;
                // the station stays in the turret.
                s_.x = m.load_x;
                s_.y = m.load_y;
                s_.shift = 0.0;
                s_.repositioned = false;
                return true;
            } else if constexpr (std::is_same_v<Step, job::SheetNcText>) {
                free_text(job_.text(step), place);
                return true;
            } else if constexpr (std::is_same_v<Step, job::TabBreak>) {
                return true;  // nothing the machine does
            } else {
                return false;  // contours and calls
            }
        },
        op);
}

// ---- Steps of many events ------------------------------------------------------------------

nc::Generator<JobEvent> JobEvents::many(const job::Operation &op, double ox, double oy, JobPlace place, StepList list) {
    if (const auto *contour_step = std::get_if<job::LaserContour>(&op)) {
        // A contour that leaves its cut open goes on in the next step.
        const job::LaserElement *next = nullptr;
        const auto elements = job_.elements(*contour_step);
        if (!elements.empty() && elements.back().off_type == 0 && list.index + 1 < list.steps->size()) {
            if (const auto *following = std::get_if<job::LaserContour>(&(*list.steps)[list.index + 1])) {
                const auto more = job_.elements(*following);
                if (!more.empty()) next = &more.front();
            }
        }
        nc::Generator<JobEvent> g = contour(*contour_step, ox, oy, place, next);
        JobEvent e;
        while (g.next(e)) co_yield e;
    } else if (const auto *element = std::get_if<job::PunchElementStep>(&op)) {
        nc::Generator<JobEvent> g = punch_element(job_.element(*element), ox, oy, place);
        JobEvent e;
        while (g.next(e)) co_yield e;
    } else if (const auto *one = std::get_if<job::PatternCall>(&op)) {
        nc::Generator<JobEvent> g = call(one->pattern, one->x, one->y, 0.0, 0.0, 1, place);
        JobEvent e;
        while (g.next(e)) co_yield e;
    } else if (const auto *repeat = std::get_if<job::PatternRepeat>(&op)) {
        if (repeat->row >= job_.pattern_rows.size()) co_return;
        const job::PatternRow &row = job_.pattern_rows[repeat->row];
        // Without a pitch the control places one copy, as a single call.
        const bool no_pitch = std::fabs(row.dx) < SAME_POINT && std::fabs(row.dy) < SAME_POINT;
        nc::Generator<JobEvent> g =
            call(row.pattern, row.x, row.y, no_pitch ? 0.0 : row.dx, no_pitch ? 0.0 : row.dy, no_pitch ? 1 : row.count,
                 place);
        JobEvent e;
        while (g.next(e)) co_yield e;
    }
}

nc::Generator<JobEvent> JobEvents::contour(const job::LaserContour &c, double ox, double oy, JobPlace place,
                                           const job::LaserElement *next) {
    const std::span<const job::LaserElement> elements = job_.elements(c);
    for (std::size_t j = 0; j < elements.size(); ++j) {
        const job::LaserElement &el = elements[j];
        place.item = static_cast<long long>(j);
        const double x1 = ox + el.x1, y1 = oy + el.y1, x2 = ox + el.x2, y2 = oy + el.y2;
        const nc::Technology tech = technology(el);
        // 1. Where the beam is off, the head goes to the start and pierces.
        if (!(s_.cutting && same_point(s_.x, s_.y, x1, y1))) {
            Event pierce = event(EventKind::pierce);
            pierce.x = s_.x = x1;
            pierce.y = s_.y = y1;
            pierce.technology = tech;
            s_.cutting = true;
            s_.head_down = true;
            co_yield JobEvent{pierce, place};
        }
        // 2. The element, with the junction word for where it meets the
        // next element of its cut; the last element of a cut meets none.
        Event e = event(EventKind::laser);
        e.technology = tech;
        const job::LaserElement *following = j + 1 < elements.size() ? &elements[j + 1] : next;
        e.technology.junction = el.off_type == 0 && following != nullptr ? junction_between(el, *following)
                                                                         : nc::Junction::either;
        e.x = x2;
        e.y = y2;
        if (el.kind == job::LaserElement::Kind::line) {
            e.shape = nc::Shape::line;
        } else {
            e.xc = ox + el.xc;
            e.yc = oy + el.yc;
            e.radius = std::hypot(x1 - e.xc, y1 - e.yc);
            if (same_point(x1, y1, x2, y2)) {
                e.shape = nc::Shape::circle;
                e.sweep = el.counter_clockwise ? FULL_TURN : -FULL_TURN;
            } else {
                e.shape = nc::Shape::arc;
                e.sweep = swept(angle_of(x1, y1, e.xc, e.yc), angle_of(x2, y2, e.xc, e.yc), el.counter_clockwise);
            }
        }
        s_.x = x2;
        s_.y = y2;
        co_yield JobEvent{e, place};
        // 3. A laser-off type other than 0 ends the cut; 2 and above raise
        // the head as well.
        if (el.off_type != 0) {
            s_.cutting = false;
            co_yield JobEvent{event(EventKind::cut_end), place};
            if (el.off_type >= HEAD_UP_FROM_OFF_TYPE) {
                s_.head_down = false;
                co_yield JobEvent{event(EventKind::head_up), place};
            }
        }
    }
}

nc::Generator<JobEvent> JobEvents::punch_element(const job::PunchElement &pe, double ox, double oy, JobPlace place) {
    out_.clear();
    raise_head(place);
    std::uint8_t checks = 0;
    const nc::Tool tool = use_tool(pe.tool, pe.angle, checks, place);
    const std::vector<JobEvent> before = out_;
    for (const JobEvent &e : before) co_yield e;
    for (long long k = 0; k < pe.count; ++k) {
        Event e = event(EventKind::stroke);
        e.tool = tool;
        e.checks = checks;
        if (pe.kind == job::PunchElement::Kind::row) {
            // The hits spread evenly from the first to the last.
            const double t = pe.count > 1 ? static_cast<double>(k) / static_cast<double>(pe.count - 1) : 0.0;
            e.x = ox + pe.x1 + t * (pe.x2 - pe.x1);
            e.y = oy + pe.y1 + t * (pe.y2 - pe.y1);
        } else {
            const double a = (pe.start_angle + static_cast<double>(k) * pe.step_angle) * RADIANS_PER_DEGREE;
            e.x = ox + pe.xc + pe.radius * std::cos(a);
            e.y = oy + pe.yc + pe.radius * std::sin(a);
        }
        s_.x = e.x;
        s_.y = e.y;
        place.item = k;
        co_yield JobEvent{e, place};
    }
}

nc::Generator<JobEvent> JobEvents::call(std::size_t pattern, double x, double y, double dx, double dy,
                                        long long count, JobPlace place) {
    if (pattern >= job_.patterns.size()) co_return;
    const job::Pattern &p = job_.patterns[pattern];
    // 1. The call puts the body's punch in place (the head goes up first);
    // a body that only cuts is called with the laser, the head as it is.
    const Entry entry = entry_of(p, job_);
    out_.clear();
    if (entry.tool != 0) {
        raise_head(place);
        std::uint8_t checks = 0;
        use_tool(entry.tool, entry.angle, checks, place);
    }
    const std::vector<JobEvent> before = out_;
    for (const JobEvent &e : before) co_yield e;
    // As far as the host knows, the head stays as the call left it: the
    // copies run on the control, not through the host.
    const bool head_after = s_.head_down;

    // 2. Each copy, its body placed at the copy's origin, run as the
    // definition was written: from a head that is up.
    for (long long k = 0; k < count; ++k) {
        const double ox = x + static_cast<double>(k) * dx;
        const double oy = y + static_cast<double>(k) * dy;
        Event copy = event(EventKind::copy);
        copy.x = s_.x = ox;
        copy.y = s_.y = oy;
        copy.number = p.number;
        copy.count = k;
        JobPlace in_copy = place;
        in_copy.in_copy = true;
        in_copy.pattern = pattern;
        in_copy.copy = k;
        in_copy.body_step = static_cast<std::size_t>(-1);  // the copy itself, none of its steps
        co_yield JobEvent{copy, in_copy};
        s_.head_down = false;
        nc::Generator<JobEvent> body = steps(p.body, ox, oy, in_copy, true);
        JobEvent e;
        while (body.next(e)) co_yield e;
    }
    s_.head_down = head_after;
}

nc::StoredPattern JobEvents::stored_pattern(std::size_t pattern) {
    nc::StoredPattern stored;
    if (pattern >= job_.patterns.size()) return stored;
    const State saved = s_;
    s_ = State{};
    const job::Pattern &p = job_.patterns[pattern];
    // The call has put the body's punch in place already.
    if (const Entry entry = entry_of(p, job_); entry.tool != 0) {
        if (const auto found = stations_.find(entry.tool); found != stations_.end()) s_.station = found->second->station;
    }
    JobPlace place{JobPlace::Part::pattern};
    place.step = pattern;
    nc::Generator<JobEvent> body = steps(p.body, 0.0, 0.0, place, true);
    JobEvent e;
    while (body.next(e)) stored.events.push_back(e.event);
    stored.end_x = s_.x;
    stored.end_y = s_.y;
    s_ = saved;
    return stored;
}

}  // namespace verify
