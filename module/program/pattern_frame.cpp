// Pattern definitions: the header line "PATnn/" and the end line "ENDnn"
// around a body that the host writes through the other hooks.  Between the
// two, coordinates are written relative (increments, or relative to the
// pattern origin in the offset style), and the index and laser words start
// from unknown, since the pattern may be called from anywhere.
#include <stdio.h>

#include "interface/host_api.h"
#include "plugin/cutting_patterns.h"
#include "plugin/flow.h"
#include "plugin/hooks.h"
#include "plugin/nc_text.h"
#include "plugin/plugin_state.h"
#include "program/patterns.h"

namespace pelk {

namespace {

constexpr int MSG_PATTERN_LIMIT = 851;       // format with one integer: the control's limit
constexpr int MSG_PATTERN_LIMIT_ADVICE = 852; // text after the "^"
constexpr int WAIT_KIND_WARNING = 2;

// Room for each of the two message parts of the limit warning.  Each part
// is cut to it, so the limit, the "^" and the second text always fit the
// warning together, whatever the host's texts hold.
constexpr size_t WARNING_PART_SIZE = 256;

// Shows the warning for a pattern number above c_nc_max_subs; the host's
// answer decides whether the program goes on.
Flow warn_pattern_limit() {
    char limit[WARNING_PART_SIZE] = "";
    format_host_message(limit, sizeof limit, cmsg(MSG_PATTERN_LIMIT), c_nc_max_subs);
    limit[sizeof limit - 1] = '\0';

    char warning[2 * WARNING_PART_SIZE];
    snprintf(warning, sizeof warning, "%s%c%.*s", limit, '^', static_cast<int>(WARNING_PART_SIZE - 2),
             message_text(MSG_PATTERN_LIMIT_ADVICE));
    return from_answer(pp_wait_for_key(WAIT_KIND_WARNING, warning));
}

}  // namespace

long long shown_pattern_number(int pattern) {
    return static_cast<long long>(pattern) - c_program_number - 1;
}

int pp_sub_begin(int pattern) {
    const long long number = shown_pattern_number(pattern);

    // 1. Whatever is still pending goes out ahead of the pattern.
    if (stopped(flush())) return 1;

    // 2. Header line.
    gen_nc_n();
    nc_append_int("PAT", number, 2);
    nc_append("/");
    if (stopped(end_block_and_flush())) return 1;

    // 3. The body's words are relative.
    c_nc_absolute = 0;

    // 4. A number above the control's limit is written all the same; the
    //    user is warned after the header line and may stop here.
    if (number > c_nc_max_subs && stopped(warn_pattern_limit())) return 1;

    // 5. The first index word and the first laser words of the body are
    //    written in full, a body that cuts gets the laser parameters of its
    //    own (the pattern may be the first laser work the control runs), and
    //    its relative words start from its origin.
    index_forced = 1;
    forget_laser_modes();
    laser_par_loaded = 0;
    forget_reached_place();
    begin_pattern_definition(pattern);
    return 0;
}

int pp_sub_end(int pattern) {
    c_nc_absolute = 1;

    gen_nc_n();
    gen_nc_ni_off();
    nc_append_int("END", shown_pattern_number(pattern), 2);
    if (stopped(end_block_and_flush())) return 1;

    // The main body's operations cancel a pattern offset again, its laser
    // words are written in full, and its first laser step gets the laser
    // parameters of its own.
    c_nc_in_sub = 0;
    forget_laser_modes();
    laser_par_loaded = 0;
    end_pattern_definition();
    return 0;
}

}  // namespace pelk
