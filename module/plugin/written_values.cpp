#include "plugin/written_values.h"

#include <math.h>
#include <stddef.h>
#include <stdint.h>

#include "interface/host_api.h"
#include "plugin/hooks.h"
#include "plugin/nc_codes.h"
#include "plugin/nc_text.h"
#include "plugin/number_format.h"
#include "plugin/plugin_state.h"

namespace pelk {

namespace {

constexpr size_t NUMBER_TEXT_SIZE = 256;  // as the distance hook takes it
constexpr double DEGREES_PER_QUARTER_TURN = 90.0;

// The value of a fixed-point text ("-12.35"), exactly as the decimal reads.
// A text too long to read exactly (more than 15 significant digits: values
// far beyond a sheet, where the rounding no longer shows) answers fallback.
double read_fixed_text(const char *text, double fallback) {
    const char *p = text;
    const bool negative = *p == '-';
    if (negative) ++p;
    uint64_t digits = 0;
    int decimals = 0;
    int count = 0;
    bool after_point = false;
    for (; *p != '\0'; ++p) {
        if (*p == '.' && !after_point) {
            after_point = true;
            continue;
        }
        if (*p < '0' || *p > '9') return fallback;
        if (++count > 15) return fallback;
        digits = digits * 10 + static_cast<uint64_t>(*p - '0');
        if (after_point) ++decimals;
    }
    // Both whole numbers below 2^53 and the powers of ten up to 10^22 are
    // exact doubles, so the one division rounds correctly.
    static constexpr double POWERS_OF_TEN[] = {1.0, 10.0, 100.0, 1000.0, 10000.0};
    if (decimals >= static_cast<int>(sizeof POWERS_OF_TEN / sizeof POWERS_OF_TEN[0])) return fallback;
    const double value = static_cast<double>(digits) / POWERS_OF_TEN[decimals];
    return negative ? -value : value;
}

}  // namespace

double written_distance(double value) {
    char text[NUMBER_TEXT_SIZE];
    pp_d_o_u(value, text);
    if (c_mch_units == UNITS_INCH) {
        const double inches = read_fixed_text(text, value * INCHES_PER_MM);
        return inches / INCHES_PER_MM;
    }
    return read_fixed_text(text, value);
}

double written_plain(double value) {
    char text[FIXED_TEXT_MAX + 1];
    format_fixed(text, sizeof text, value, MM_DECIMALS);
    return read_fixed_text(text, value);
}

double reached_place_x() { return c_nc_x == asked_x ? reached_x : c_nc_x; }
double reached_place_y() { return c_nc_y == asked_y ? reached_y : c_nc_y; }

void place_tool(double x, double y) {
    // An axis the command did not move keeps the host's value: the next
    // word for the place asked before is not written again.
    if (x != reached_place_x()) {
        c_nc_x = x;
        asked_x = NAN;  // NaN equals nothing: the control stands at c_nc_x
    }
    if (y != reached_place_y()) {
        c_nc_y = y;
        asked_y = NAN;
    }
}

void place_tool_as_written(double x, double y) {
    c_nc_x = asked_x = x;
    c_nc_y = asked_y = y;
    reached_x = written_distance(x);
    reached_y = written_distance(y);
}

void direction_vector(double degrees, double &dx, double &dy) {
    const double quarter_turns = degrees / DEGREES_PER_QUARTER_TURN;
    if (quarter_turns == floor(quarter_turns) && fabs(quarter_turns) <= 4.0) {
        static constexpr double COS[] = {1.0, 0.0, -1.0, 0.0};
        static constexpr double SIN[] = {0.0, 1.0, 0.0, -1.0};
        const int quarter = ((static_cast<int>(quarter_turns) % 4) + 4) % 4;
        dx = COS[quarter];
        dy = SIN[quarter];
        return;
    }
    const double radians = degrees / DEGREES_PER_RADIAN;
    dx = cos(radians);
    dy = sin(radians);
}

}  // namespace pelk
