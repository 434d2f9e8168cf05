#include "verify/program_texts.h"

#include <cmath>
#include <cstdio>

namespace verify {
namespace {

constexpr double INCHES_PER_MM = 0.03937007874015748;  // the factor the program's inches are made with

// The words of the operator's texts, as this machine's messages have them.
constexpr const char *SHEET_WORD = "SHEET";
constexpr const char *CLAMP_WORD = "CLAMP";

}  // namespace

std::string distance_text(double mm, bool inch) {
    char text[400];
    std::snprintf(text, sizeof text, inch ? "%.3f" : "%.2f", inch ? mm * INCHES_PER_MM : mm);
    std::string s = text;
    if (s.find('.') != std::string::npos) {
        while (s.back() == '0') s.pop_back();
        if (s.back() == '.') s.pop_back();
    }
    if (s == "-0") s = "0";
    return s;
}

std::string nest_comment(const job::Job &job) { return "(" + job.sheet.nest_name + ")"; }

std::string sheet_comment(const job::Job &job) {
    const bool inch = job.machine.inch;
    return std::string("(") + SHEET_WORD + " - " + distance_text(job.sheet.thickness, inch) + " X " +
           distance_text(job.sheet.size_x, inch) + " Y " + distance_text(job.sheet.size_y, inch) + ")";
}

std::string clamp_comment(const job::Job &job) {
    std::string text = "(";
    for (std::size_t i = 0; i < job.machine.clamps.size(); ++i) {
        text += std::string(CLAMP_WORD) + " " + std::to_string(i + 1) + " " +
                distance_text(job.machine.clamps[i], job.machine.inch) + " ";
    }
    return text + ")";
}

}  // namespace verify
