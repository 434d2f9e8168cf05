#include "verify/job_warnings.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <numbers>
#include <type_traits>
#include <variant>

#include "nc/setup.h"

namespace verify {
namespace {

// The allowance of the post's own check of where nibbling ends.
constexpr double NIBBLING_ALLOWANCE_MM = 0.001;

void add(std::vector<std::string> &warnings, const std::string &text) {
    if (std::find(warnings.begin(), warnings.end(), text) == warnings.end()) warnings.push_back(text);
}

bool indexable(const job::Job &job, int tool) {
    for (const job::Station &s : job.turret) {
        if (s.tool == tool) return s.indexable;
    }
    return false;
}

// ---- Where a nibbling command ends, as the control reads its values ----------

constexpr double DEGREES_PER_RADIAN = 180.0 / std::numbers::pi;
constexpr double INCHES_PER_MM = 0.03937007874015748;  // the factor the program's inches are made with

// A value as the program writes it, read back: a distance to 0.01 mm (0.001
// in), an angle to 0.01 degree.
double written(double value, int decimals) {
    char text[400];
    std::snprintf(text, sizeof text, "%.*f", decimals, value);
    return std::strtod(text, nullptr);
}
double written_distance(double mm, bool inch) { return inch ? written(mm * INCHES_PER_MM, 3) / INCHES_PER_MM : written(mm, 2); }
double written_angle(double degrees) { return written(degrees, 2); }

// The direction of an angle, exact along the axes.
void direction(double degrees, double &x, double &y) {
    const double quarters = degrees / 90.0;
    if (quarters == std::floor(quarters) && std::fabs(quarters) <= 4.0) {
        static const double COS[] = {1.0, 0.0, -1.0, 0.0}, SIN[] = {0.0, 1.0, 0.0, -1.0};
        const int q = ((static_cast<int>(quarters) % 4) + 4) % 4;
        x = COS[q];
        y = SIN[q];
        return;
    }
    x = std::cos(degrees / DEGREES_PER_RADIAN);
    y = std::sin(degrees / DEGREES_PER_RADIAN);
}

double within_turn(double degrees) {
    const double a = std::fmod(degrees, 360.0);
    return a < 0.0 ? a + 360.0 : a;
}

// Where the control ends a nibbled line or arc from its values as written:
// the line from its start by its length and direction, the arc about its
// centre at its radius, from its start angle by its turn.
void nibbled_end(const job::PunchElement &e, bool inch, double &x, double &y) {
    double along_x = 0.0, along_y = 0.0;
    if (e.kind == job::PunchElement::Kind::nibbled_line) {
        direction(written_angle(std::atan2(e.y2 - e.y1, e.x2 - e.x1) * DEGREES_PER_RADIAN), along_x, along_y);
        const double length = written_distance(std::hypot(e.x2 - e.x1, e.y2 - e.y1), inch);
        x = written_distance(e.x1, inch) + length * along_x;
        y = written_distance(e.y1, inch) + length * along_y;
        return;
    }
    const double start = within_turn(std::atan2(e.y1 - e.yc, e.x1 - e.xc) * DEGREES_PER_RADIAN);
    const double end = within_turn(std::atan2(e.y2 - e.yc, e.x2 - e.xc) * DEGREES_PER_RADIAN);
    double sweep = within_turn(e.counter_clockwise ? end - start : start - end);
    if (sweep == 0.0) sweep = 360.0;
    direction(written_angle(start) + written_angle(e.counter_clockwise ? sweep : -sweep), along_x, along_y);
    const double radius = written_distance(e.radius + nc::NIBBLE_ARC_ALLOWANCE_MM, inch) - nc::NIBBLE_ARC_ALLOWANCE_MM;
    x = written_distance(e.xc, inch) + radius * along_x;
    y = written_distance(e.yc, inch) + radius * along_y;
}

// The warnings of the nibbling of the steps: a circle or arc nibbled with an
// indexable station; a line or arc that the control ends farther from the
// job's end than two written values may put it (along X or Y: twice half a
// unit plus the allowance, each).  path: the steps' place in the job file.
void nibbling_warnings(const job::Job &job, const std::vector<job::Operation> &steps, const std::string &path,
                       std::vector<std::string> &warnings) {
    const bool inch = job.machine.inch;
    const double half_unit = inch ? 0.0005 * nc::MM_PER_INCH : 0.005;
    const double limit = 2.0 * (half_unit + NIBBLING_ALLOWANCE_MM);
    for (std::size_t i = 0; i < steps.size(); ++i) {
        const auto *step = std::get_if<job::PunchElementStep>(&steps[i]);
        if (step == nullptr) continue;
        const job::PunchElement &e = job.element(*step);
        using Kind = job::PunchElement::Kind;
        const bool round = e.kind == Kind::nibbled_circle || e.kind == Kind::nibbled_arc;
        if (e.kind == Kind::nibbled_line || e.kind == Kind::nibbled_arc) {
            double x = 0.0, y = 0.0;
            nibbled_end(e, inch, x, y);
            if (std::fabs(x - e.x2) > limit || std::fabs(y - e.y2) > limit) {
                char drift[64];
                std::snprintf(drift, sizeof drift, "%.3f", std::hypot(x - e.x2, y - e.y2));
                add(warnings, path + "/" + std::to_string(i) + ": the nibbled " + (round ? "arc" : "line") + " ends " +
                                  drift + " mm from the job's end, as the control reads its values rounded");
            }
        }
        if (round && indexable(job, e.tool)) add(warnings, "check the nibbled circle or arc: the tool was indexed");
    }
}

}  // namespace

std::vector<std::string> job_warnings(const job::Job &job) {
    std::vector<std::string> warnings;
    const job::Machine &m = job.machine;
    // The header: the material block of 7001 needs the material's number.
    if (!m.eia && m.post_processor == 7001 && job.sheet.material.find('(') == std::string::npos) {
        // The host joins the material to the message with ": ", and leaves
        // both out for a sheet without a material name.
        add(warnings, "material number: the material name has no '(' followed by the material number" +
                          (job.sheet.material.empty() ? std::string() : ": " + job.sheet.material));
    }
    // The definitions at the top of the program, each with its body.
    if (m.pattern_style == 0) {
        for (const job::Pattern &p : job.patterns) {
            if (p.number > m.max_patterns) {
                add(warnings, "pattern number above the limit of " + std::to_string(m.max_patterns) +
                                  " ^ the control may not accept this pattern");
            }
            nibbling_warnings(job, p.body, "/patterns/" + std::to_string(&p - job.patterns.data()) + "/body", warnings);
        }
    }
    nibbling_warnings(job, job.work, "/work", warnings);
    return warnings;
}

}  // namespace verify
