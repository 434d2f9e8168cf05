// The index word "C" of an indexable station and the feed-rate word.
#include "interface/host_api.h"
#include "plugin/hooks.h"
#include "plugin/nc_codes.h"
#include "plugin/nc_text.h"
#include "plugin/plugin_state.h"

namespace pelk {

namespace {
constexpr double INDEX_TOLERANCE = 0.002;  // degrees
}  // namespace

// The C word is written when the angle moved by 0.002 degrees or more, when
// forced, or when a pattern header asked for the first index word in full.
void pp_index(int force, int /*spare*/, int indexable, double angle) {
    if (indexable != 1) return;
    const double d = angle - c_nc_tool_a;
    if (index_forced != 0 || force == 1 || !(d > -INDEX_TOLERANCE && d < INDEX_TOLERANCE)) {
        gen_nc_let(1, "C", angle);
    }
    index_forced = 0;
}

// While the laser cuts: the F word.  While punching, on variants 7001 and
// 7002: the feed range M83 (up to a quarter of the maximum feed), M82 (up to
// half), M81 (up to three quarters) or M80, appended as text so that the
// host's last M number stays as it was.
void pp_feedrate(double feed) {
    if (c_nc_laser_on != 0) {
        if (c_mch_units == UNITS_INCH) {
            nc_append_trimmed("F", feed * 1000.0 * INCHES_PER_MM, INCH_DECIMALS);
        } else {
            nc_append_trimmed("F", feed * 100.0, MM_DECIMALS);
        }
        return;
    }
    if (c_post_processor != VARIANT_M61X && c_post_processor != VARIANT_FORMING) return;
    const double m = c_max_feedrate;
    const char *range;
    if (feed > -1e-6 && feed - 0.25 * m < 1e-6) {
        range = "M83";
    } else if (feed - 0.25 * m >= 1e-6 && feed - 0.5 * m < 1e-6) {
        range = "M82";
    } else if (feed - 0.5 * m >= 1e-6 && feed - 0.75 * m < 1e-6) {
        range = "M81";
    } else {
        range = "M80";
    }
    nc_append(range);
}

}  // namespace pelk
