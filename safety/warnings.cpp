// warnings.cpp - findings grouped by step and told.
#include "safety/warnings.h"

#include <cstdio>
#include <utility>

namespace safety {
namespace {

constexpr std::size_t MOST_GROUPS_KEPT = 100;

// A length of a message: millimetres to 0.001, without trailing zeros.
std::string mm(double v) {
    char text[48];
    std::snprintf(text, sizeof text, "%.3f", v);
    std::string s = text;
    while (s.back() == '0') s.pop_back();
    if (s.back() == '.') s.pop_back();
    return s == "-0" ? "0" : s;
}

std::string place(const Finding &f) { return "X" + mm(f.x) + " Y" + mm(f.y); }

// "a stroke", "4 strokes", "a cut" and the verb that goes with it.
std::string what(Work work, long long count, const char *one_verb, const char *many_verb) {
    static const char *const ONE[] = {"the stroke", "a stroke of the nibbled path", "the laser cut"};
    static const char *const MANY[] = {"strokes", "nibbled strokes", "laser cuts"};
    const int w = static_cast<int>(work);
    return count == 1 ? std::string(ONE[w]) + " " + one_verb
                      : std::to_string(count) + " " + MANY[w] + " " + many_verb;
}

std::string line_of(const Finding &f) {
    std::string text = "line " + std::to_string(f.where.line);
    if (f.where.call_line != 0) text += " of the pattern called on line " + std::to_string(f.where.call_line);
    return text;
}

}  // namespace

Warnings::Warnings(StepName step_name, double sheet_x, double sheet_y)
    : step_name_(std::move(step_name)), sheet_x_(sheet_x), sheet_y_(sheet_y) {}

void Warnings::close_step() {
    for (Group &g : open_) {
        if (kept_.size() < MOST_GROUPS_KEPT) kept_.push_back(std::move(g));
        else ++more_;
    }
    open_.clear();
}

void Warnings::add(const Finding &f) {
    findings_ += f.count;
    const long long line = f.where.call_line != 0 ? f.where.call_line : f.where.line;
    std::string step = step_name_ ? step_name_(line) : std::string();
    if (step.empty()) step = "line " + std::to_string(line);
    // A step's findings come together: a new step closes the groups of the last.
    if (!open_.empty() && open_.front().step != step) close_step();
    for (Group &g : open_) {
        if (g.hazard != f.hazard || g.clamp != f.clamp) continue;
        g.count += f.count;
        if (f.depth > g.worst.depth) g.worst = f;
        return;
    }
    open_.push_back(Group{std::move(step), f.hazard, f.clamp, f.count, f});
}

std::string Warnings::text(const Group &g) const {
    const Finding &f = g.worst;
    std::string t = g.step + ": ";
    if (g.hazard == Hazard::clamp) {
        const std::string zone = "the zone of clamp " + std::to_string(g.clamp) + " (at X" + mm(f.clamp_x) + ")";
        if (g.count == 1) {
            t += what(f.work, 1, "reaches ", "") + mm(f.depth) + " mm into " + zone + ", at " + place(f);
        } else {
            t += what(f.work, g.count, "", "reach into ") + zone + ", the deepest " + mm(f.depth) + " mm at " + place(f);
        }
    } else {
        const std::string sheet = "the sheet (" + mm(sheet_x_) + " x " + mm(sheet_y_) + " mm)";
        if (g.count == 1) {
            t += what(f.work, 1, "lies ", "") + mm(f.depth) + " mm off " + sheet + ", at " + place(f);
        } else {
            t += what(f.work, g.count, "", "lie off ") + sheet + ", the farthest " + mm(f.depth) + " mm at " + place(f);
        }
    }
    return t + " (" + line_of(f) + ")";
}

std::vector<std::string> Warnings::texts(std::size_t most) {
    close_step();
    std::vector<std::string> out;
    for (std::size_t i = 0; i < kept_.size() && i < most; ++i) out.push_back(text(kept_[i]));
    const long long rest = more_ + static_cast<long long>(kept_.size() > most ? kept_.size() - most : 0);
    if (rest > 0) {
        out.push_back("and " + std::to_string(rest) + (rest == 1 ? " more such warning" : " more such warnings"));
    }
    return out;
}

std::vector<Finding> Warnings::worst(std::size_t most) const {
    std::vector<Finding> out;
    for (std::size_t i = 0; i < kept_.size() && i < most; ++i) out.push_back(kept_[i].worst);
    return out;
}

}  // namespace safety
