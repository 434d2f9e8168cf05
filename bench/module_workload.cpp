#include "bench/module_workload.h"

#include <cmath>
#include <cstdio>
#include <cstring>
#include <numbers>

#include "host/element_record.h"
#include "interface/host_api.h"
#include "interface/host_records.h"

namespace workload {

namespace {

constexpr double DEGREES_PER_RADIAN = 57.29577951308232;

// Module state back to a program start (pp_main of an empty job whose
// first flush is refused), then the host set for job, writing to writer.
void start_program(const job::Job &job, host::NcWriter &writer) {
    const job::Job empty;
    host::MemoryWriter refusing;
    refusing.refuse_from(1);
    host::set_message_stream(nullptr);
    (void)host::run_program(empty, refusing);
    host::reset_host();
    host::set_message_stream(nullptr);
    host::apply_job(job);
    init_pp_variables();
    host::set_writer(&writer);
}

bool same_value(double a, double b) {
    const double d = a - b;
    return d > -1e-6 && d < 1e-6;
}

// "%.2f" without the zeros that end the fraction, a point that ends the
// text, or the minus of a zero; answers the length.
int number_text(char (&out)[32], double value) {
    int n = std::snprintf(out, sizeof out, "%.2f", value);
    while (n > 0 && out[n - 1] == '0') --n;
    if (n > 0 && out[n - 1] == '.') --n;
    if (n == 2 && out[0] == '-' && out[1] == '0') {
        out[0] = '0';
        n = 1;
    }
    out[n] = '\0';
    return n;
}

}  // namespace

bool load_module(const std::string &path, std::string &error) { return host::load_module(path, error); }

// ---- Hits ---------------------------------------------------------------------

HitStep hit_step(long i) {
    HitStep h;
    h.tool = 11 + static_cast<int>((i / 10) % 3);
    h.indexable = h.tool == 12 ? 0 : 1;
    h.x = 10.0 + static_cast<double>(i % 200) * 12.345;
    h.y = 10.0 + static_cast<double>(i / 200) * 7.5;
    h.radians = static_cast<double>(i % 4) * 45.0 / DEGREES_PER_RADIAN;
    return h;
}

void start_hits(host::NcWriter &writer) {
    static job::Job job;
    job.machine.post_processor = 7000;
    job.turret = {{11, 1, "", true, false}, {12, 2, "", false, false}, {13, 3, "", true, false}};
    start_program(job, writer);
}

bool write_hits_with_module(long count) {
    for (long i = 0; i < count; ++i) {
        const HitStep h = hit_step(i);
        if ((*pp_hit)(h.x, h.y, h.tool, h.indexable, h.radians, 0, 0) != 0) return false;
    }
    return true;
}

// The control's rules for these hits: the index turns back to 0 in a
// positioning block before a change of station; a hit block carries the
// coordinates that changed (both when none did), the station on a change
// and the index angle when it moved by 0.002 degrees or more.
void write_hits_with_snprintf(long count, std::string &out) {
    double x = 0.0;
    double y = 0.0;
    double angle = 0.0;
    int station = 0;
    char xs[32];
    char ys[32];
    char cs[32];
    char ts[16];
    char block[160];
    for (long i = 0; i < count; ++i) {
        const HitStep h = hit_step(i);
        const int next_station = h.tool - 10;
        const bool change = next_station != station;
        if (change && !same_value(angle, 0.0)) {
            number_text(xs, x);
            number_text(ys, y);
            out.append(block, static_cast<std::size_t>(std::snprintf(block, sizeof block, "X%sY%sC0M03\r\n", xs, ys)));
            angle = 0.0;
        }
        const bool both = same_value(h.x, x) && same_value(h.y, y);
        const bool x_word = both || !same_value(h.x, x);
        const bool y_word = both || !same_value(h.y, y);
        if (x_word) number_text(xs, x = h.x);
        if (y_word) number_text(ys, y = h.y);
        ts[0] = '\0';
        if (change) {
            std::snprintf(ts, sizeof ts, "T%d", next_station);
            station = next_station;
            angle = 0.0;
        }
        bool c_word = false;
        if (h.indexable == 1) {
            const double degrees = h.radians * DEGREES_PER_RADIAN;
            const double d = degrees - angle;
            if (!(d > -0.002 && d < 0.002)) {
                number_text(cs, angle = degrees);
                c_word = true;
            }
        }
        const int n = std::snprintf(block, sizeof block, "%s%s%s%s%s%s%s\r\n", x_word ? "X" : "", x_word ? xs : "",
                                    y_word ? "Y" : "", y_word ? ys : "", ts, c_word ? "C" : "", c_word ? cs : "");
        out.append(block, static_cast<std::size_t>(n));
    }
}

// ---- Nibbling ------------------------------------------------------------------

bool write_nibbling_with_module(long count) {
    constexpr int TOOL = 12;  // station 2, not indexable
    host::ElementValues line;
    line.kind = host::ElementKind::nibbled_line;
    line.tool = TOOL;
    line.line_pitch = 2.5;
    const host::ElementRecord line_record = host::build_element_record(line);
    host::ElementValues round;
    round.kind = host::ElementKind::nibbled_round;
    round.tool = TOOL;
    round.radius = 8.0;
    round.arc_pitch = 1.5;
    const host::ElementRecord round_record = host::build_element_record(round);
    host::ElementRecord el = line_record;

    for (long i = 0; i < count; ++i) {
        const double x = 20.0 + static_cast<double>(i % 100) * 24.5;
        const double y = 20.0 + static_cast<double>(i / 100) * 0.75;
        int result = 0;
        switch (i % 3) {
        case 0:
            el = line_record;
            result = (*pp_nibble_l)(x, y, x + 15.0, y, el.bytes, 0.0);
            break;
        case 1:
            el = round_record;
            result = (*pp_nibble_c)(x + 8.0, y, x, y, el.bytes, 0.0);
            break;
        default:
            el = round_record;
            result = (*pp_nibble_a)(x + 8.0, y, x - 8.0, y, x, y, el.bytes, 0.0);
            break;
        }
        if (result != 0) return false;
    }
    return true;
}

// ---- Pattern calls ----------------------------------------------------------------

bool write_pattern_calls_with_module(long count) {
    constexpr int TOOL = 11;  // station 1, indexable
    const int pattern = c_program_number + 1 + 1;  // the host numbers patterns after the program
    for (long i = 0; i < count; ++i) {
        const double x = 50.0 + static_cast<double>(i % 40) * 55.5;
        const double y = 50.0 + static_cast<double>(i / 40) * 0.5;
        const double degrees = static_cast<double>(i % 4) * 45.0;
        const int result = i % 2 == 0 ? (*pp_sub_call)(TOOL, x, y, degrees, 1, pattern)
                                      : (*pp_sub_rep_call)(TOOL, x, y, degrees, 1, pattern, 30.0, 0.0, 4);
        if (result != 0) return false;
    }
    return true;
}

// ---- Laser contour ------------------------------------------------------------

void start_laser(const std::string &machine_dir, host::NcWriter &writer) {
    static job::Job job;
    job.machine.machine_dir = machine_dir;
    job.sheet.material = "ST37 (3)";
    job.sheet.thickness = 3.0;
    job.technologies = {{1, 25.0, "1", "2", "450"}};
    start_program(job, writer);
}

bool write_laser_contour(long count) {
    const double radius = 400.0;
    for (long i = 0; i < count; ++i) {
        const double a0 = 2 * std::numbers::pi * static_cast<double>(i) / static_cast<double>(count);
        const double a1 = 2 * std::numbers::pi * static_cast<double>(i + 1) / static_cast<double>(count);
        char co[CO_RECORD_SIZE] = {};
        const unsigned off_type = i + 1 == count ? 2u : 0u;
        co[CO_COMP_BYTE_AT] = static_cast<char>(1u | off_type << 5);  // left compensation
        co[CO_ON_TYPE_BYTE_AT] = 1;
        const std::int32_t technology = 1;
        std::memcpy(co + CO_TECH_NUMBER_AT, &technology, sizeof technology);
        const int result = (*pp_laser_line)(1000 + radius * std::cos(a0), 600 + radius * std::sin(a0),
                                            1000 + radius * std::cos(a1), 600 + radius * std::sin(a1), co);
        if (result != 0) return false;
    }
    return true;
}

}  // namespace workload
