// job_digest.cpp - a job as text, field by field.
#include "tests/fuzz/job_digest.h"

#include <cstdio>
#include <type_traits>
#include <variant>

namespace fuzz {
namespace {

class Digest {
public:
    Digest &operator<<(double v) {
        char text[64];
        std::snprintf(text, sizeof text, "%a ", v);
        out_ += text;
        return *this;
    }
    Digest &operator<<(long long v) {
        out_ += std::to_string(v) + ' ';
        return *this;
    }
    Digest &operator<<(int v) { return *this << static_cast<long long>(v); }
    Digest &operator<<(unsigned v) { return *this << static_cast<long long>(v); }
    Digest &operator<<(std::size_t v) { return *this << static_cast<long long>(v); }
    Digest &operator<<(bool v) { return *this << static_cast<long long>(v ? 1 : 0); }
    Digest &operator<<(const std::string &v) {
        out_ += std::to_string(v.size()) + ':' + v + ' ';
        return *this;
    }
    Digest &operator<<(const char *label) {
        out_ += label;
        return *this;
    }
    std::string take() { return std::move(out_); }

private:
    std::string out_;
};

void add(Digest &d, const job::Operation &op) {
    d << "\nstep " << static_cast<int>(op.index());
    std::visit(
        [&d](const auto &s) {
            using Step = std::decay_t<decltype(s)>;
            if constexpr (std::is_same_v<Step, job::Hit>) d << s.x << s.y << s.angle << s.tool << s.position_only;
            else if constexpr (std::is_same_v<Step, job::Movement> || std::is_same_v<Step, job::SheetMove>) d << s.x << s.y;
            else if constexpr (std::is_same_v<Step, job::LaserContour>) d << s.first << s.count;
            else if constexpr (std::is_same_v<Step, job::PunchElementStep>) d << s.index;
            else if constexpr (std::is_same_v<Step, job::TrapDoor>) d << s.dx << s.dy << s.kind;
            else if constexpr (std::is_same_v<Step, job::SheetNcText>) d << s.text;
            else if constexpr (std::is_same_v<Step, job::SheetFeed>) d << s.feed;
            else if constexpr (std::is_same_v<Step, job::Dwell>) d << s.time;
            else if constexpr (std::is_same_v<Step, job::Reposition>) d << s.x << s.y << s.dx << s.clamp_travel;
            else if constexpr (std::is_same_v<Step, job::TurnSheet>) d << s.kind;
            else if constexpr (std::is_same_v<Step, job::PatternCall>) d << s.pattern << s.x << s.y;
            else if constexpr (std::is_same_v<Step, job::PatternRepeat>) d << s.row;
            else static_assert(std::is_empty_v<Step>, "a kind of step not in the digest");
        },
        op);
}

}  // namespace

std::string job_digest(const job::Job &j) {
    Digest d;
    const job::Machine &m = j.machine;
    d << "machine " << m.post_processor << m.inch << m.eia << m.program_number << m.use_program_number << m.rewind
      << m.loader_unloader << m.reposition_type << m.reposition_clamp_travel << m.line_number_increment
      << m.max_feedrate << m.initial_feedrate << m.load_x << m.load_y << m.pattern_style << m.max_patterns
      << m.laser_allowed << m.machine_dir << "clamps ";
    for (double c : m.clamps) d << c;
    const job::Sheet &s = j.sheet;
    d << "\nsheet " << s.material << s.thickness << s.size_x << s.size_y << s.nest_name;
    for (const job::Station &t : j.turret) d << "\nstation " << t.tool << t.station << t.options << t.indexable << t.laser;
    for (const job::LaserTechnology &t : j.technologies) {
        d << "\ntechnology " << t.number << t.feedrate << t.mode << t.m7x << t.s_value;
    }
    for (const job::Operation &op : j.work) add(d, op);
    for (const job::LaserElement &e : j.laser_elements) {
        d << "\nelement " << static_cast<int>(e.kind) << e.counter_clockwise << static_cast<int>(e.compensation)
          << e.on_type << e.off_type << e.technology << e.x1 << e.y1 << e.x2 << e.y2 << e.xc << e.yc;
    }
    for (const job::PunchElement &e : j.punch_elements) {
        d << "\npunch " << static_cast<int>(e.kind) << e.counter_clockwise << e.tool << e.count << e.angle << e.x1
          << e.y1 << e.x2 << e.y2 << e.xc << e.yc << e.radius << e.step << e.start_angle << e.step_angle;
    }
    for (const std::string &t : j.nc_texts) d << "\nnc " << t;
    for (const job::Pattern &p : j.patterns) {
        d << "\npattern " << p.number << p.name << p.body.size();
        for (const job::Operation &op : p.body) add(d, op);
    }
    for (const job::PatternRow &r : j.pattern_rows) d << "\nrow " << r.pattern << r.count << r.x << r.y << r.dx << r.dy;
    return d.take();
}

}  // namespace fuzz
