// pattern_steps.cpp - the patterns of a job and the work steps that call
// them: a single call and a repeated call in a row.
//
// A pattern is named by its number (the number the control shows, PAT03/
// for 3), by a name, or both; a call names it either way.  Its body is a
// list of work steps of any kind except calls, relative to the pattern's
// origin.  The patterns may stand before or after the work in the file.
#include <climits>
#include <cmath>
#include <set>
#include <string>
#include <type_traits>
#include <variant>

#include "job/job_reader.h"
#include "job/work_steps.h"

namespace job {
namespace {

constexpr long long MAX_PATTERN_NUMBER = 1000000;
constexpr std::size_t MAX_PATTERN_NAME_LENGTH = 63;
constexpr long long MAX_PATTERN_COPIES = 1000000;

// A pitch closer to 0 leaves its axis out of the repeat line.
constexpr double NO_PITCH = 1e-6;

// Computed points stay inside the range of the job's numbers.
constexpr double MAX_COORDINATE = 1e9;

// The laser-off types from which a contour ends with the laser head up.
constexpr int FIRST_HEAD_UP_OFF_TYPE = 2;

// The turret station a step punches with, 0 for a step without a punch.
template <typename Step>
int station_of(const Step &step, const std::vector<Station> &turret) {
    if constexpr (requires { step.tool; }) {
        for (const Station &s : turret) {
            if (s.tool == step.tool && !s.laser) return s.station;
        }
    }
    return 0;
}

template <typename Step>
constexpr bool punches_or_cuts() {
    return std::is_same_v<Step, LaserContour> || requires(const Step &step) { step.tool; };
}

// The kind of a work step as written, or "" for a step that is no object of
// one key (its reader refuses it).
std::string kind_of_step(const JsonField &step) {
    if (!step.is_object() || step.size() != 1) return "";
    return std::string(step.first_key());
}

// Why a kind of step cannot stand in a pattern body, or "" when it can.
std::string body_fault(const std::string &kind) {
    if (kind == "pattern_call" || kind == "pattern_repeat") return "a pattern cannot call a pattern: calls are not nested";
    // The sheet re-gripped or reloaded: every copy would move it again.
    if (kind == "reposition" || kind == "flip" || kind == "turn") {
        return "a pattern cannot hold a \"" + kind + "\": each copy would handle the sheet again";
    }
    return "";
}

const Pattern *find_pattern(const std::vector<Pattern> &patterns, long long number, const std::string *name,
                            std::size_t &index) {
    for (index = 0; index < patterns.size(); ++index) {
        const Pattern &p = patterns[index];
        if (name != nullptr ? p.name == *name : p.number == number) return &p;
    }
    return nullptr;
}

std::string pattern_label(const Pattern &p) {
    return p.name.empty() ? "pattern " + std::to_string(p.number) : "pattern \"" + p.name + "\"";
}

JsonPath pattern_path(std::size_t index) { return JsonPath().key("patterns").index(index); }

// Reads the body of a pattern: every step through the reader of its kind,
// then moved from the work into the body.
void read_body(const JsonField &f, Pattern &pattern, WorkContext &context) {
    const std::size_t n = f.array_size();
    if (n == 0) f.fail("a pattern needs at least one work step");
    std::vector<Operation> &work = context.job().work;
    bool punches = false;
    for (std::size_t i = 0; i < n; ++i) {
        const JsonField step = f.element(i);
        const std::string fault = body_fault(kind_of_step(step));
        if (!fault.empty()) step.fail(fault);
        const std::size_t mark = work.size();
        read_work_step(step, context);
        for (std::size_t k = mark; k < work.size(); ++k) {
            visit_step(work[k], context.job(),
                       [&punches](const auto &s) { punches = punches || punches_or_cuts<std::decay_t<decltype(s)>>(); });
            pattern.body.push_back(work[k]);
        }
        work.resize(mark);
    }
    // A cut the body leaves open would go on in whatever follows the call.
    if (context.open_cut() != nullptr) context.fail_open_cut();
    if (!punches) f.fail("a pattern needs a step that punches or cuts (its first one places the tool)");
}

}  // namespace

void read_patterns(const JsonField &f, WorkContext &context) {
    std::vector<Pattern> &patterns = context.job().patterns;
    patterns.clear();
    const std::size_t n = f.array_size();
    std::vector<bool> numbered(n, false);
    std::set<long long> numbers;
    for (std::size_t i = 0; i < n; ++i) {
        const JsonField e = f.element(i);
        e.expect_object({"number", "name", "body"});
        if (!e.has("number") && !e.has("name")) e.fail("a pattern needs a number or a name");
        Pattern p;
        if (e.has("number")) {
            const JsonField number = e.member("number");
            p.number = static_cast<int>(number.integer(0, MAX_PATTERN_NUMBER));
            if (!numbers.insert(p.number).second) number.fail("pattern " + std::to_string(p.number) + " is defined twice");
            numbered[i] = true;
        }
        if (e.has("name")) {
            const JsonField name = e.member("name");
            p.name = name.text(MAX_PATTERN_NAME_LENGTH);
            if (p.name.empty()) name.fail("a pattern name must not be empty");
            for (const Pattern &earlier : patterns) {
                if (earlier.name == p.name) name.fail("pattern \"" + p.name + "\" is defined twice");
            }
        }
        read_body(e.member("body"), p, context);
        patterns.push_back(std::move(p));
    }
    // Patterns named only by their name take the lowest free numbers from 1.
    long long next = 1;
    for (std::size_t i = 0; i < n; ++i) {
        if (numbered[i]) continue;
        while (numbers.count(next) != 0) ++next;
        patterns[i].number = static_cast<int>(next);
        numbers.insert(next);
    }
}

void read_pattern_call_step(const JsonField &body, WorkContext &context) {
    body.expect_object({"pattern", "x", "y"});
    PatternCall call;
    call.x = body.member("x").number();
    call.y = body.member("y").number();
    std::vector<Operation> &work = context.job().work;
    work.push_back(call);
    context.refer_pattern(body.member("pattern"), {false, work.size() - 1});
}

void read_pattern_repeat_step(const JsonField &body, WorkContext &context) {
    body.expect_object({"pattern", "x", "y", "dx", "dy", "count"});
    PatternRow row;
    row.x = body.member("x").number();
    row.y = body.member("y").number();
    // A pitch within 1e-6 of zero leaves its axis out of the repeat line;
    // any other is written, and must not be written as 0.
    for (const char *axis : {"dx", "dy"}) {
        if (!body.has(axis)) continue;
        const JsonField pitch = body.member(axis);
        const double value = pitch.number();
        (axis[1] == 'x' ? row.dx : row.dy) = value;
        if (std::fabs(value) >= NO_PITCH) context.require_writable_distance(pitch, value, "the pitch");
    }
    const JsonField count = body.member("count");
    const long long copies = count.integer(LLONG_MIN, LLONG_MAX);
    if (copies < 1) count.fail("a repeated call places at least 1 copy, not " + std::to_string(copies));
    if (copies > MAX_PATTERN_COPIES) count.fail("at most " + std::to_string(MAX_PATTERN_COPIES) + " copies");
    row.count = static_cast<int>(copies);
    const double last_x = row.x + row.dx * (row.count - 1), last_y = row.y + row.dy * (row.count - 1);
    if (std::fabs(last_x) > MAX_COORDINATE || std::fabs(last_y) > MAX_COORDINATE) {
        count.fail("the last copy would lie beyond 1e9");
    }
    Job &job = context.job();
    job.work.push_back(job.keep_pattern_row(row));
    context.refer_pattern(body.member("pattern"), {true, job.pattern_rows.size() - 1});
}

// ---- References to patterns ---------------------------------------------------

void WorkContext::refer_pattern(const JsonField &field, PatternTarget target) {
    PatternReference reference;
    reference.place = field.place();
    reference.target = target;
    if (field.is_text()) {
        reference.by_name = true;
        reference.name = field.text(MAX_PATTERN_NAME_LENGTH);
    } else if (field.is_number()) {
        reference.number = field.integer(0, MAX_PATTERN_NUMBER);
    } else {
        field.fail("expected a pattern number or name, found " + field.kind_name());
    }
    if (patterns_known_) resolve(reference);
    else waiting_patterns_.push_back(std::move(reference));
}

void WorkContext::resolve(const PatternReference &reference) {
    std::size_t index = 0;
    const Pattern *p = find_pattern(job_.patterns, reference.number, reference.by_name ? &reference.name : nullptr, index);
    if (p == nullptr) {
        const std::string what = reference.by_name ? "pattern \"" + reference.name + "\"" : "pattern " + std::to_string(reference.number);
        throw JobError(reference.place + ": " + what + " is not defined in patterns");
    }
    const auto at = static_cast<std::uint32_t>(index);
    if (reference.target.row) job_.pattern_rows[reference.target.index].pattern = at;
    else std::get<PatternCall>(job_.work[reference.target.index]).pattern = at;
}

void WorkContext::patterns_known() {
    patterns_known_ = true;
    for (const PatternReference &reference : waiting_patterns_) resolve(reference);
    waiting_patterns_.clear();
}

// What can only be checked once the whole file is known: the turret.
void WorkContext::check_patterns() const {
    for (std::size_t i = 0; i < job_.patterns.size(); ++i) {
        const Pattern &p = job_.patterns[i];
        const JsonPath place = pattern_path(i);
        const std::string label = pattern_label(p);

        // 1. The control repeats a pattern without its tool changes.
        int station = 0;
        for (const Operation &op : p.body) {
            const int s = visit_step(op, job_, [this](const auto &step) { return station_of(step, job_.turret); });
            if (s == 0) continue;
            if (station != 0 && s != station) {
                throw JobError(place.key("body").text() + ": " + label + " punches with stations " +
                               std::to_string(station) + " and " + std::to_string(s) +
                               "; a pattern punches with one station");
            }
            station = s;
        }

        // 2. A pattern that starts with the laser is called with the laser head.
        for (const Operation &op : p.body) {
            const bool first_is_laser = std::holds_alternative<LaserContour>(op);
            const bool first_is_punch =
                visit_step(op, job_, [](const auto &step) { return punches_or_cuts<std::decay_t<decltype(step)>>(); });
            if (!first_is_laser && !first_is_punch) continue;
            bool laser_head = false;
            for (const Station &s : job_.turret) laser_head = laser_head || s.laser;
            if (first_is_laser && !laser_head) {
                throw JobError(place.key("body").text() + ": " + label +
                               " starts with a laser contour, but the turret has no laser head");
            }
            break;
        }

        // 4. The pattern leaves the laser head up.
        if (const auto *contour = std::get_if<LaserContour>(&p.body.back())) {
            const auto elements = job_.elements(*contour);
            if (!elements.empty() && elements.back().off_type < FIRST_HEAD_UP_OFF_TYPE) {
                throw JobError(place.key("body").index(p.body.size() - 1).text() + ": " + label +
                               " must end with the laser head up (laser_off 2 or more on its last element)");
            }
        }
    }
}

}  // namespace job
