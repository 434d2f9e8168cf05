// generators.cpp - the host's NC generators.  Each leads to the hook of the
// same stem through the hook table and keeps the host state that the hooks
// rely on the host to keep.
#include <climits>
#include <cstring>

#include "host/host_state.h"
#include "host/trace.h"
#include "interface/host_api.h"

namespace {

host::detail::TechnologyRecord *find_technology(int number) {
    host::detail::Session &s = host::detail::session();
    const auto made = s.technology_records.find(number);
    if (made != s.technology_records.end()) return &made->second;
    const auto at = s.technology_at.find(number);
    if (at == s.technology_at.end() || s.job == nullptr) return nullptr;
    const job::LaserTechnology &t = s.job->technologies[at->second];
    return &s.technology_records.emplace(number, host::detail::technology_record(t)).first->second;
}

}  // namespace

extern "C" {

// The block counter runs through the values of an int and wraps past the
// largest one to 0, however large the increment and however long the
// program.  The module reads it as an int and steps it back by one increment
// for a block it holds back, which the next block begun adds again: kept
// within 0..INT_MAX here, neither step can overflow.
int gen_nc_n(void) {
    constexpr long long COUNTER_RANGE = static_cast<long long>(INT_MAX) + 1;
    long long next = (static_cast<long long>(c_nc_block) + c_line_number_inc) % COUNTER_RANGE;
    if (next < 0) next += COUNTER_RANGE;
    c_nc_block = static_cast<int>(next);
    HOST_TRACE("pp_n()");
    (*pp_n)();
    return 0;
}

int gen_nc_eob(void) {
    HOST_TRACE("pp_eob()");
    (*pp_eob)();
    return 0;
}

void gen_nc_m(int m) {
    HOST_TRACE("pp_m(%d)", m);
    (*pp_m)(m);
}

void gen_nc_g(int g) {
    HOST_TRACE("pp_g(%d)", g);
    (*pp_g)(g);
}

void gen_nc_x_y(int force, double x, double y) {
    HOST_TRACE("pp_x_y(%d, %.10g, %.10g)", force, x, y);
    (*pp_x_y)(force, x, y);
}

void gen_nc_let(int plain, const char *letter, double value) {
    HOST_TRACE("pp_let(%d, %s, %.10g)", plain, host::trace::quoted(letter), value);
    // The hook takes a modifiable text but only reads it; hand it a copy so
    // that the caller's constant text is never exposed to a write.
    char copy[64];
    const std::size_t length = letter != nullptr ? strnlen(letter, sizeof copy - 1) : 0;
    if (length > 0) std::memcpy(copy, letter, length);
    copy[length] = '\0';
    (*pp_let)(plain, copy, value);
}

char *gen_nc_d_o_u(double value, char *text) {
    char *result = (*pp_d_o_u)(value, text);
    HOST_TRACE("pp_d_o_u(%.10g) -> %s", value, host::trace::quoted(result));
    return result;
}

void gen_nc_index(int force, int spare, int indexable, double angle) {
    const std::size_t before = host::detail::nc_text_length();
    HOST_TRACE("pp_index(%d, %d, %d, %.10g)", force, spare, indexable, angle);
    (*pp_index)(force, spare, indexable, angle);
    // The angle last commanded changes only when the C word was written.
    if (host::detail::nc_text_length() > before) c_nc_tool_a = angle;
}

void gen_nc_tool(int station) {
    HOST_TRACE("pp_tool(%d)", station);
    (*pp_tool)(station);
}

// The first hit of a row: an ordinary stroke through the hit hook, with the
// element's tool, index flag and angle.  The hit mode bits are the host's
// own business; this host punches every hit alike.
int gen_nc_hit(char *el, double x, double y, int tool, int indexable, double angle, int hit_bits, int hit_bit) {
    (void)el;
    HOST_TRACE("gen_nc_hit(el, %.10g, %.10g, %d, %d, %.10g, %d, %d)", x, y, tool, indexable, angle, hit_bits,
               hit_bit);
    const int result = (*pp_hit)(x, y, tool, indexable, angle, 0, 0);
    HOST_TRACE("pp_hit(%.10g, %.10g, %d, %d, %.10g, 0, 0) -> %d", x, y, tool, indexable, angle, result);
    return result;
}

void gen_nc_hit_off(void) {
    HOST_TRACE("pp_hit_off()");
    (*pp_hit_off)();
}

void gen_nc_ni_on(int on) {
    (void)on;
    HOST_TRACE("pp_ni_on()");
    (*pp_ni_on)();
}

void gen_nc_ni_off(void) {
    HOST_TRACE("pp_ni_off()");
    (*pp_ni_off)();
}

void gen_nc_laser_enable(void) {
    HOST_TRACE("pp_laser_enable()");
    (*pp_laser_enable)();
}

void gen_nc_laser_disable(void) {
    HOST_TRACE("pp_laser_disable()");
    (*pp_laser_disable)();
}

void gen_nc_laser_on(int on_type) {
    HOST_TRACE("pp_laser_on(%d)", on_type);
    (*pp_laser_on)(on_type);
    c_nc_laser_on = 1;
    c_nc_laser_head_down = 1;
}

void gen_nc_laser_off(int block_open, int off_type) {
    HOST_TRACE("pp_laser_off(%d, %d)", block_open, off_type);
    (*pp_laser_off)(block_open, off_type);
    // Type 0: the contour goes on.  From type 2 on the contour ended with
    // the head raised (M23).
    if (off_type != 0) c_nc_laser_on = 0;
    if (off_type >= 2) c_nc_laser_head_down = 0;
}

int gen_nc_laser_tech_table(int tech_number) {
    host::detail::TechnologyRecord *t = find_technology(tech_number);
    if (t == nullptr) {
        char detail[64];
        std::snprintf(detail, sizeof detail, "%d", tech_number);
        prerr(1, "", "no laser technology with this number", detail);
        HOST_TRACE("gen_nc_laser_tech_table(%d) -> 1", tech_number);
        return 1;
    }
    c_nc_laser_tt1 = t->bytes.data();
    const int result = (*pp_laser_tech_table)();
    HOST_TRACE("pp_laser_tech_table() -> %d", result);
    return result;
}

// Kind 1 writes the feed word of a block through the feed hook.  Kind 2 only
// makes the feed the one in force and writes nothing: the program start asks
// for it with no block end after it, so a word written here would land at the
// front of the first body block (and EIA programs carry no feed at all).
void gen_nc_feedrate(int kind, double feed) {
    if (kind == 2) {
        HOST_TRACE("gen_nc_feedrate(2, %.10g): feed in force, no word", feed);
        return;
    }
    HOST_TRACE("pp_feedrate(%.10g)", feed);
    (*pp_feedrate)(feed);
}

void gen_nc_laser_feedrate(int kind, double feed) {
    (void)kind;
    HOST_TRACE("pp_feedrate(%.10g)", feed);
    (*pp_feedrate)(feed);
}

}  // extern "C"
