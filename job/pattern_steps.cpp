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

// A step that strikes or cuts: a positioning only places the tool.
template <typename Step>
bool punches_or_cuts(const Step &step) {
    if constexpr (std::is_same_v<Step, Hit>) return !step.position_only;
    else return std::is_same_v<Step, LaserContour> || requires { step.tool; };
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

std::string pattern_label(const Pattern &p) {
    return p.name.empty() ? "pattern " + std::to_string(p.number) : "pattern \"" + p.name + "\"";
}

JsonPath pattern_path(std::size_t index) { return JsonPath().key("patterns").index(index); }

}  // namespace

// ---- The patterns section ----------------------------------------------------------

JsonPath PatternsReader::path() const { return pattern_path(index_); }

void PatternsReader::begin_pattern(std::size_t index) {
    index_ = index;
    pattern_ = Pattern();
    numbered_ = false;
    body_given_ = false;
}

void PatternsReader::read_member(std::string_view key, const JsonField &value) {
    if (key == "number") {
        pattern_.number = static_cast<int>(value.integer(0, MAX_PATTERN_NUMBER));
        if (!numbers_.insert(pattern_.number).second) {
            value.fail("pattern " + std::to_string(pattern_.number) + " is defined twice");
        }
        numbered_ = true;
    } else if (key == "name") {
        pattern_.name = value.control_text(MAX_PATTERN_NAME_LENGTH);
        if (pattern_.name.empty()) value.fail("a pattern name must not be empty");
        if (!names_.insert(pattern_.name).second) value.fail("pattern \"" + pattern_.name + "\" is defined twice");
    } else {
        value.array_size();  // the body, given as something else than an array: refused
    }
}

void PatternsReader::begin_body() {
    // A cut the work leaves open cannot go on in a pattern.
    if (context_.open_cut() != nullptr) context_.fail_open_cut();
    body_given_ = true;
    punches_ = false;
    body_mark_ = context_.job().work.size();
}

void PatternsReader::check_body_step(const JsonField &step) {
    const std::string fault = body_fault(kind_of_step(step));
    if (!fault.empty()) step.fail(fault);
}

void PatternsReader::body_step_read() {
    std::vector<Operation> &work = context_.job().work;
    for (std::size_t k = body_mark_; k < work.size(); ++k) {
        visit_step(work[k], context_.job(),
                   [this](const auto &s) { punches_ = punches_ || punches_or_cuts(s); });
        pattern_.body.push_back(work[k]);
    }
    work.resize(body_mark_);
}

void PatternsReader::end_body() {
    const JsonPath body = path().key("body");
    if (pattern_.body.empty()) throw JobError(body.text() + ": a pattern needs at least one work step");
    // A cut the body leaves open would go on in whatever follows the call.
    if (context_.open_cut() != nullptr) context_.fail_open_cut();
    if (!punches_) {
        throw JobError(body.text() + ": a pattern needs a step that punches or cuts (its first one places the tool)");
    }
}

void PatternsReader::end_pattern() {
    const std::string place = path().text();
    if (!numbered_ && pattern_.name.empty()) throw JobError(place + ": a pattern needs a number or a name");
    if (!body_given_) throw JobError(place + ": missing key \"body\"");
    context_.job().patterns.push_back(std::move(pattern_));
    numbered_patterns_.push_back(numbered_);
}

void PatternsReader::finish() {
    // Patterns named only by their name take the lowest free numbers from 1.
    std::vector<Pattern> &patterns = context_.job().patterns;
    long long next = 1;
    for (std::size_t i = 0; i < patterns.size(); ++i) {
        if (numbered_patterns_[i]) continue;
        while (numbers_.count(next) != 0) ++next;
        patterns[i].number = static_cast<int>(next);
        numbers_.insert(next);
    }
    context_.patterns_known();
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
        reference.name = field.control_text(MAX_PATTERN_NAME_LENGTH);
    } else if (field.is_number()) {
        reference.number = field.integer(0, MAX_PATTERN_NUMBER);
    } else {
        field.fail("expected a pattern number or name, found " + field.kind_name());
    }
    if (patterns_known_) resolve(reference);
    else waiting_patterns_.push_back(std::move(reference));
}

void WorkContext::resolve(const PatternReference &reference) {
    std::uint32_t at = 0;
    bool found = false;
    if (reference.by_name) {
        const auto p = pattern_names_.find(reference.name);
        found = p != pattern_names_.end();
        if (found) at = p->second;
    } else {
        const auto p = pattern_numbers_.find(reference.number);
        found = p != pattern_numbers_.end();
        if (found) at = p->second;
    }
    if (!found) {
        const std::string what = reference.by_name ? "pattern \"" + reference.name + "\"" : "pattern " + std::to_string(reference.number);
        throw JobError(reference.place + ": " + what + " is not defined in patterns");
    }
    if (reference.target.row) job_.pattern_rows[reference.target.index].pattern = at;
    else std::get<PatternCall>(job_.work[reference.target.index]).pattern = at;
}

void WorkContext::patterns_known() {
    patterns_known_ = true;
    // The first pattern of a number or name, as the job reader lets only one have it.
    pattern_numbers_.clear();
    pattern_names_.clear();
    for (std::size_t i = 0; i < job_.patterns.size(); ++i) {
        const auto at = static_cast<std::uint32_t>(i);
        pattern_numbers_.emplace(job_.patterns[i].number, at);
        if (!job_.patterns[i].name.empty()) pattern_names_.emplace(job_.patterns[i].name, at);
    }
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

        // 2. A pattern whose only work is laser cutting is called with the
        // laser head (one that punches is called with its punch).
        bool punches = false, cuts = false;
        for (const Operation &op : p.body) {
            cuts = cuts || std::holds_alternative<LaserContour>(op);
            punches = punches || (!std::holds_alternative<LaserContour>(op) &&
                                  visit_step(op, job_, [](const auto &step) { return punches_or_cuts(step); }));
        }
        bool laser_head = false;
        for (const Station &s : job_.turret) laser_head = laser_head || s.laser;
        if (cuts && !punches && !laser_head) {
            throw JobError(place.key("body").text() + ": " + label + " only cuts with the laser, but the turret has no laser head");
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
