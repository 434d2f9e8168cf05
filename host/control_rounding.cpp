#include "host/control_rounding.h"

#include <charconv>
#include <cmath>
#include <numbers>

#include "host/host_state.h"
#include "interface/host_api.h"

namespace host::detail {

namespace {

constexpr double INCHES_PER_MM = 0.03937007874015748;  // as the module converts
constexpr int MM_DECIMALS = 2;
constexpr int INCH_DECIMALS = 3;
constexpr double MM_HALF_UNIT = 0.005;
constexpr double INCH_HALF_UNIT = 0.0005 * 25.4;

// value rounded as the fixed text with decimals digits reads, in the C
// locale whatever the process's locale is.
double rounded(double value, int decimals) {
    if (!std::isfinite(value)) return value;
    char text[400];
    const auto written = std::to_chars(text, text + sizeof text, value, std::chars_format::fixed, decimals);
    double read = value;
    if (written.ec != std::errc()) return value;
    std::from_chars(text, written.ptr, read);
    return read;
}

bool inch_machine() { return c_mch_units == 1; }

bool within(double dx, double dy, double tolerance) { return std::fabs(dx) <= tolerance && std::fabs(dy) <= tolerance; }

}  // namespace

double half_unit() { return inch_machine() ? INCH_HALF_UNIT : MM_HALF_UNIT; }

double written_distance(double value) {
    if (inch_machine()) return rounded(value * INCHES_PER_MM, INCH_DECIMALS) / INCHES_PER_MM;
    return rounded(value, MM_DECIMALS);
}

double written_place(double value, double current) {
    if (c_nc_in_sub == 0) return written_distance(value);
    const double reached = written_distance(current);
    return reached + written_distance(value - reached);
}

double written_distance_down(double value) {
    // A hair of slack keeps a value that stands for a written one (4.45,
    // held as 4.4499999...) at itself.
    constexpr double SLACK = 1e-9;
    const double unit_mm = inch_machine() ? 0.001 / INCHES_PER_MM : 0.01;
    const double down = std::floor(value / unit_mm + SLACK) * unit_mm;
    return written_distance(down);
}

double written_degrees(double value) { return rounded(value, MM_DECIMALS); }

double stroke_tolerance() { return half_unit() + STROKE_ALLOWANCE; }

bool within_tolerance(double dx, double dy) { return within(dx, dy, stroke_tolerance()); }

double composed_tolerance() { return 2.0 * stroke_tolerance(); }

bool within_composed_tolerance(double dx, double dy) { return within(dx, dy, composed_tolerance()); }

bool word_lands_as_written() { return c_nc_in_sub == 0 || session().body_on_grid; }

bool place_lands_as_written(double value, double current) {
    if (!word_lands_as_written()) return false;
    if (c_nc_in_sub == 0) return true;
    // The increment in units of the last written digit: a tie lies half way
    // between two of them.
    constexpr double TIE_WIDTH = 1e-6;
    const double units = std::fabs(value - written_distance(current)) * (inch_machine() ? INCHES_PER_MM * 1000.0 : 100.0);
    return std::fabs(units - std::floor(units) - 0.5) > TIE_WIDTH;
}

void leave_grid() {
    if (c_nc_in_sub != 0) session().body_on_grid = false;
}

void back_on_grid() { session().body_on_grid = true; }

void direction_vector(double degrees, double &dx, double &dy) {
    const double quarter_turns = degrees / 90.0;
    if (quarter_turns == std::floor(quarter_turns) && std::fabs(quarter_turns) <= 4.0) {
        constexpr double COS[] = {1.0, 0.0, -1.0, 0.0};
        constexpr double SIN[] = {0.0, 1.0, 0.0, -1.0};
        const int quarter = ((static_cast<int>(quarter_turns) % 4) + 4) % 4;
        dx = COS[quarter];
        dy = SIN[quarter];
        return;
    }
    const double radians = degrees * std::numbers::pi / 180.0;
    dx = std::cos(radians);
    dy = std::sin(radians);
}

}  // namespace host::detail
