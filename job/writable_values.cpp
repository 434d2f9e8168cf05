// writable_values.cpp - values the control can take: a distance or an angle
// smaller than the last digit the program writes of it reads as 0 on the
// control, so a row, repeat, nibbling step or circle built on it would not
// do what the job says.
#include <cmath>
#include <locale>
#include <sstream>
#include <string>

#include "job/job_reader.h"
#include "job/work_steps.h"

namespace job {
namespace {

constexpr double MM_UNIT = 0.01;             // the last digit of a distance in millimetres
constexpr double INCH_UNIT_MM = 0.0254;      // 0.001 in, the last digit on an inch machine
constexpr double ANGLE_UNIT = 0.01;          // degrees, on every machine
constexpr double MM_PER_INCH = 25.4;
// Values that stand for the unit itself in binary pass.
constexpr double UNIT_SLACK = 1e-9;

std::string text_of(double value) {
    std::ostringstream text;
    text.imbue(std::locale::classic());
    text << value;
    return text.str();
}

bool below(double value, double unit) { return std::fabs(value) < unit * (1.0 - UNIT_SLACK); }

}  // namespace

void WorkContext::require_writable_distance(const JsonField &field, double millimetres, const std::string &what) {
    // Whatever the machine's unit, a distance of 0.001 in or more is written.
    if (!below(millimetres, INCH_UNIT_MM)) return;
    small_distances_.push_back({field.place(), millimetres, what});
}

void WorkContext::require_writable_angle(const JsonField &field, double degrees, const std::string &what) {
    if (!below(degrees, ANGLE_UNIT)) return;
    field.fail(what + " of " + text_of(degrees) + " degrees would be written as 0: the control takes angles to " +
               text_of(ANGLE_UNIT) + " degree");
}

void WorkContext::check_small_distances() const {
    const bool inch = job_.machine.inch;
    const double unit = inch ? INCH_UNIT_MM : MM_UNIT;
    for (const SmallDistance &d : small_distances_) {
        if (!below(d.millimetres, unit)) continue;
        throw JobError(d.place + ": " + d.what + " of " + text_of(d.millimetres) +
                       " mm would be written as 0: the smallest distance the control takes is " + text_of(unit) +
                       " mm (" + text_of(unit / MM_PER_INCH) + " in) on this " + (inch ? "inch" : "millimetre") +
                       " machine");
    }
}

}  // namespace job
