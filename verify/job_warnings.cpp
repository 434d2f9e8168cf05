#include "verify/job_warnings.h"

#include <algorithm>
#include <type_traits>
#include <variant>

namespace verify {
namespace {

void add(std::vector<std::string> &warnings, const std::string &text) {
    if (std::find(warnings.begin(), warnings.end(), text) == warnings.end()) warnings.push_back(text);
}

bool indexable(const job::Job &job, int tool) {
    for (const job::Station &s : job.turret) {
        if (s.tool == tool) return s.indexable;
    }
    return false;
}

// A circle or arc nibbled with an indexable station in the steps.
void nibbling_warnings(const job::Job &job, const std::vector<job::Operation> &steps, std::vector<std::string> &warnings) {
    for (const job::Operation &op : steps) {
        const auto *step = std::get_if<job::PunchElementStep>(&op);
        if (step == nullptr) continue;
        const job::PunchElement &e = job.element(*step);
        const bool round = e.kind == job::PunchElement::Kind::nibbled_circle || e.kind == job::PunchElement::Kind::nibbled_arc;
        if (round && indexable(job, e.tool)) add(warnings, "check the nibbled circle or arc: the tool was indexed");
    }
}

}  // namespace

std::vector<std::string> job_warnings(const job::Job &job) {
    std::vector<std::string> warnings;
    const job::Machine &m = job.machine;
    // The header: the material block of 7001 needs the material's number.
    if (!m.eia && m.post_processor == 7001 && job.sheet.material.find('(') == std::string::npos) {
        add(warnings, "material number: the material name has no '(' followed by the material number: " +
                          job.sheet.material);
    }
    // The definitions at the top of the program, each with its body.
    if (m.pattern_style == 0) {
        for (const job::Pattern &p : job.patterns) {
            if (p.number > m.max_patterns) {
                add(warnings, "pattern number above the limit of " + std::to_string(m.max_patterns) +
                                  " ^ the control may not accept this pattern");
            }
            nibbling_warnings(job, p.body, warnings);
        }
    }
    nibbling_warnings(job, job.work, warnings);
    return warnings;
}

}  // namespace verify
