// module_workload.h - the work of the module benchmarks, driven the shortest
// way: the host's state set once, the module's hooks called straight through
// the host's table, the NC text kept in memory.  Beside it, the reference
// line: a bare snprintf loop that writes the same text for the same hits.
#pragma once

#include <cstddef>
#include <string>

#include "host/host.h"

namespace workload {

// Keeps every flushed piece in one string.
class StringWriter : public host::NcWriter {
public:
    bool write(const char *text, std::size_t length) override {
        text_.append(text, length);
        return true;
    }
    std::string &text() { return text_; }

private:
    std::string text_;
};

// Loads the module at path and installs its hooks; a reason in error when
// it cannot.
bool load_module(const std::string &path, std::string &error);

// ---- Hits ---------------------------------------------------------------------

// Hit i of the punching run, as the module's hook takes it.  Variant 7000,
// three stations (the first and third indexable); the tool changes every
// ten hits, so an indexed station often returns to 0 degrees first, and the
// indexable stations turn in steps of 45 degrees.
struct HitStep {
    double x, y;
    int tool;
    int indexable;
    double radians;
};
HitStep hit_step(long i);

// The host at the start of a program for the hits (module state reset by a
// program start, the turret in the station table), writing to writer.
void start_hits(host::NcWriter &writer);

// Hits 0 .. count - 1 through the module's pp_hit; false when a hit
// answered stop.
bool write_hits_with_module(long count);

// The same NC text as write_hits_with_module, appended to out by a loop of
// snprintf calls and nothing else of the project.
void write_hits_with_snprintf(long count, std::string &out);

// ---- Nibbling ------------------------------------------------------------------

// Nibbling operations 0 .. count - 1 through pp_nibble_l, pp_nibble_c and
// pp_nibble_a in turn (a short line, a small circle, a half circle), with
// the non-indexable station of the hits' turret; start with start_hits.
// False when an operation answered stop.
bool write_nibbling_with_module(long count);

// ---- Pattern calls ----------------------------------------------------------------

// Pattern calls 0 .. count - 1 through pp_sub_call and pp_sub_rep_call in
// turn (a single call, a row of four copies), of pattern 1 with the first
// indexable station of the hits' turret; start with start_hits.  False when
// a call answered stop.
bool write_pattern_calls_with_module(long count);

// ---- Laser contour ------------------------------------------------------------

// The host at the start of a program for one laser contour (LASER.PAR from
// machine_dir, one technology), writing to writer.
void start_laser(const std::string &machine_dir, host::NcWriter &writer);

// One closed contour of count straight elements with left compensation
// through the module's pp_laser_line; false when an element answered stop.
bool write_laser_contour(long count);

}  // namespace workload
