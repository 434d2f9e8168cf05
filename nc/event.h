// event.h - what the machine does, as a small set of events.
//
// The control model turns blocks into events; the job's expansion makes the
// same events from a job, so that checking a program is matching two streams
// of events.  Lengths are millimetres and angles degrees; positions are the
// control's coordinates (the job's), re-grips and frames are events of their
// own.
#pragma once

#include <cstdint>

#include "nc/block.h"

namespace nc {

enum class EventKind : std::uint8_t {
    stroke,          // the punch strikes at (x, y)
    nibble,          // a nibbled path from (x0, y0) to (x, y), strokes at most step apart
    pierce,          // the laser beam starts at (x, y)
    laser,           // the beam cuts a line or an arc from (x0, y0) to (x, y)
    cut_end,         // the beam goes off ("LED/")
    move,            // the tool is positioned at (x, y) without working
    copy,            // a copy of pattern number starts with its origin at (x, y)
    stop,            // the program stops for the operator (M00)
    regrip,          // the clamps re-grip the sheet
    frame,           // the control's X becomes x where the sheet stands ("FRM/")
    trap_door,       // the trap door opens at (x, y)
    dwell,           // the control waits value seconds
    feed_range,      // the punching feed range (80..83)
    sheet,           // the material block: material number, thickness, sheet size
    parameter_line,  // a line of the LASER.PAR section goes to the control
    tool_change,     // another station comes into use (T word); value: the index angle it found, number: the
                     // station the turret left (0: none yet)
    index_turn,      // the index turns to another angle (C word); value: the angle it left
    head_up,         // the laser head goes up (M23)
    comment,         // a comment for the operator ("(...)"); text
    user_text,       // a free NC text the control takes as it stands; text
    program_start,   // the program's first line: number 0 for "% " (ISO), 1 for "+ " (EIA)
    program_number,  // "O0012": number
    laser_work,      // M20: the sheet has laser work
    rewind,          // M30
    program_end,     // the closing "%"; tool: the station and index angle the program leaves
    format,          // a line the control takes, but not as the dialect writes it: number, a FormatFault
};

// What a format event tells of its line.
enum FormatFault : int {
    FORMAT_LINE_FEED = 1,     // the line ends with a line feed alone, not CR LF
    FORMAT_AFTER_END = 2,     // a line end follows the closing "%"
};

// The punch as it stands when it works.
struct Tool {
    int station = 0;       // 0: none selected yet
    double angle = 0.0;    // index angle, degrees
    bool forming = false;  // forming mode (M08) in force
    int m61x = 0;          // the M61x mode in force (0 for M610 .. 3 for M615)
};

// The laser's words in force when the beam works.
// The junction word in force for a laser element: smooth (M21) or a corner
// (M22); the job's expansion may leave it open where the elements meet so
// nearly smoothly that either word is right.
enum class Junction : std::uint8_t { none, smooth, corner, either };

struct Technology {
    int head = -2;        // laser-head mode: 1 M121, 0 M122, 2 M123, -1 M124, -2 none yet
    int m7x = 0;          // selector: 1 M71, 2 M72, 3 M73, 4 M74; 0 none
    int mode = -1;        // technology: 1 M27, 2 M34, 3 M35, 0 M28; -1 none
    long long s = 0;         // the S value with it
    double feed = 0.0;    // F as written (mm or inch per minute)
    Compensation compensation = Compensation::none;
    Junction junction = Junction::none;  // laser elements: the junction word in force
};

enum class Shape : std::uint8_t { line, arc, circle };

// M03, M05, M40; approach: MOV/, which places the tool for the command after it.
enum class MovePurpose : std::uint8_t { plain, park, unload, approach };

// A block inside a copy of a pattern comes from its definition's line and the
// line of the call.
struct Source {
    long long line = 0;
    long long call_line = 0;   // 0: not inside a copy
};

// What a comparison is to look at besides the kind's own fields; set by the
// job's expansion, which knows what the job says (the control model leaves
// them 0).
enum Check : std::uint8_t {
    CHECK_ANGLE = 1u << 0,  // the station is indexable: the index angle counts
    CHECK_MODES = 1u << 1,  // the variant switches forming and M61x modes: they count
    CHECK_TOOL = 1u << 2,   // a positioning that selects a station: the station counts
};

// How the program wrote a stroke or a place, where the same work can be
// written more than one way; set by the control model.
enum Form : std::uint8_t {
    FORM_ROW = 1u << 0,     // a stroke of a row the control expands (LAA/), not the row's first
    FORM_HOLES = 1u << 1,   // a hole of a bolt-hole circle (ARC/)
    FORM_OFFSET = 1u << 2,  // absolute words read from the origin an OFS/ set, outside a pattern
};

struct Event {
    EventKind kind = EventKind::stroke;
    Source where;
    std::uint8_t checks = 0;    // Check bits
    std::uint8_t form = 0;      // Form bits

    double x0 = 0.0, y0 = 0.0;  // where the tool stood before
    double x = 0.0, y = 0.0;    // where the event puts it

    // Nibbled paths and laser elements.
    Shape shape = Shape::line;
    double xc = 0.0, yc = 0.0;  // centre of an arc
    double radius = 0.0;
    double sweep = 0.0;         // degrees, positive counter-clockwise
    double step = 0.0;          // nibbling step

    Tool tool;                  // strokes, nibbling, moves
    Technology technology;      // pierces and laser elements

    // By kind: pattern number (copy), M word (feed range), 1 when the note
    // before the stop told the operator to flip or turn the sheet (stop),
    // form of a re-grip (1 the command, 0 the explicit sequence), material
    // number (sheet), line of the LASER.PAR section (parameter line), the
    // station left (tool change), 1 for a free text that is a command of the
    // machine's laser parameters the dialect does not have ("LPAR/...", read
    // without the job's section).
    int number = 0;
    int text = -1;                   // comments, free texts, parameter lines: the text in the table shared by
                                     // the two sides of a comparison (nc/text_table.h)
    long long count = 0;             // copy: which copy of its call, from 0
    MovePurpose purpose = MovePurpose::plain;
    // By kind: dwell time, re-grip distance along X, thickness (sheet), the
    // index angle found (tool change) or left (index turn).
    double value = 0.0;
    // Re-grip: net travel of the clamps in Y, and how far they went off the
    // sheet (explicit form); sheet: size in Y (size in X is x).
    double value2 = 0.0;
    double value3 = 0.0;
};

// The event moved by (dx, dy): where the tool stood, where it goes, the
// centre of its arc.
inline void shift(Event &e, double dx, double dy) {
    e.x0 += dx;
    e.y0 += dy;
    e.x += dx;
    e.y += dy;
    e.xc += dx;
    e.yc += dy;
}

}  // namespace nc
