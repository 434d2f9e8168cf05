// comparison.h - two programs compared by what they make the machine and the
// operator do (pelk-post diff).
//
// Both programs' events (diff/compared_events.h) are walked in order, each
// pulled as far as the match needs.  Where the heads differ, a short look
// ahead tells a changed event from events one program has in excess; what
// is left unmatched is put aside (diff/order_pool.h) until its like comes on
// the other side, which makes it the same work in another order, or until
// the stretch of work ends at a re-grip, a stop or the program's end: then
// two events put aside together are told as one changed, the others as
// only in one program.  Without --any-order the same work in another order
// is a difference of its own kind ("the same 412 strokes in another order");
// with it, each sheet grip's work is compared as a set.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "diff/compared_events.h"
#include "diff/program_reader.h"
#include "nc/text_table.h"
#include "verify/comparison.h"

namespace diff {

// What a program's header says of the sheet (cli/program_alone.h reads it).
struct Header {
    bool sheet = false;                  // the sheet comment or the material block was there
    double thickness = 0.0, size_x = 0.0, size_y = 0.0;  // mm
    long long sheet_line = 0;
    bool clamps_known = false;           // the clamp comment was there
    std::vector<double> clamps;          // mm
    long long clamps_line = 0;
};

// One of the two programs.
struct Program {
    std::string name;                    // as the messages name it
    bool inch = false;                   // its lengths are inches
    verify::Tolerance tolerance;         // of its rounding (side_tolerance)
    Header header;
};

struct Options {
    bool any_order = false;              // each sheet grip's work as a set
    std::size_t messages = 10;           // differences told in full
};

// Ways of writing the same work that were matched against each other.
enum Form : int {
    FORM_ROW_STROKES,        // strokes of a row (LAA/) against strokes one by one
    FORM_CIRCLE_HOLES,       // holes of a bolt-hole circle (ARC/) against strokes one by one
    FORM_COPY_WORK,          // work of a pattern's copy against the same work written out
    FORM_OFFSET_PLACES,      // places from an OFS/ origin against absolute words
    FORM_ARC_PIECES,         // a laser arc cut in pieces against one arc
    FORM_REGRIP_COMMAND,     // a re-grip by REP/ against the explicit sequence M41 ... M42
    FORM_COUNT
};

struct Result {
    long long differences = 0;
    std::vector<std::string> messages;               // the first ones, in full
    std::vector<verify::DifferencePlace> places;
    long long events = 0;                            // events of the old program compared
    long long in_another_order = 0;                  // of them, matched in another order (--any-order)
    // forms[f][0]: the old program wrote f, the new one the other way; [1]: the new one wrote f.
    long long forms[FORM_COUNT][2] = {};
    Uncompared old_uncompared, new_uncompared;
    long long old_lines = 0, new_lines = 0;
};

// Compares the two programs' events.  texts: the table both sides' texts
// are numbered in.  Throws what either side throws.
Result compare(EventSource &old_events, EventSource &new_events, const Program &old_program,
               const Program &new_program, const nc::TextTable &texts, const Options &options);

// What --explain tells: each form matched, with its count, and what was not
// compared, one line each.
std::vector<std::string> explanation(const Result &r, const Program &old_program, const Program &new_program);

// "1 stroke", "412 strokes".
std::string plural(long long n, const char *one, const char *many);

}  // namespace diff
