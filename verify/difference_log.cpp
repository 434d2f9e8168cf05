// difference_log.cpp - a program's differences from its job, in words.
#include "verify/difference_log.h"

#include <algorithm>

#include "verify/event_text.h"

namespace verify {

std::string DifferenceLog::line_text(long long line) const {
    std::string text = "line " + std::to_string(line);
    if (options_.line_name) {
        const std::string name = options_.line_name(line);
        if (!name.empty()) text += " (written for " + name + ")";
    }
    return text;
}

std::string DifferenceLog::program_text(const nc::Event &e, bool with_angle) const {
    std::string text = line_text(e.where.line);
    if (e.where.call_line != 0) text += ", in the copy called at line " + std::to_string(e.where.call_line);
    return text + ": " + event_text(e, job_.machine.inch, with_angle, options_.texts);
}

std::string DifferenceLog::job_text(const JobEvent &e) const {
    return "the job's " + place_name(e.place, job_) + ": " +
           event_text(e.event, job_.machine.inch, (e.event.checks & nc::CHECK_ANGLE) != 0, options_.texts);
}

void DifferenceLog::at_line(long long line, const std::string &what) {
    tally_.tell("", DifferencePlace{line}, [&] { return line_text(line) + ": " + what; });
}

void DifferenceLog::changed(const nc::Event &a, const JobEvent &b, const std::string &key) {
    tally_.tell("changed " + key, DifferencePlace{a.where.line, true, a.x, a.y}, [&] {
        return program_text(a, (b.event.checks & nc::CHECK_ANGLE) != 0) + "; " + job_text(b);
    });
}

void DifferenceLog::extra(const nc::Event &a, const std::string &key) {
    tally_.tell("extra " + key, DifferencePlace{a.where.line, true, a.x, a.y},
                [&] { return program_text(a, a.tool.angle != 0.0) + ", which the job does not have"; });
}

void DifferenceLog::missing(const JobEvent &b, const nc::Event *next, const std::string &key) {
    const long long line = next != nullptr ? next->where.line : last_line_;
    tally_.tell("missing " + key, DifferencePlace{line, true, b.event.x, b.event.y}, [&] {
        std::string where = last_line_ > 0 ? " after line " + std::to_string(last_line_) : " at the start";
        where += next != nullptr ? ", before line " + std::to_string(next->where.line) : ", at the end";
        return job_text(b) + " is not in the program: it would come" + where;
    });
}

void DifferenceLog::warning(const std::string &text) {
    if (std::find(result_.warnings.begin(), result_.warnings.end(), text) == result_.warnings.end()) {
        result_.warnings.push_back(text);
    }
}

}  // namespace verify
