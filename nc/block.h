// block.h - one block of the control's dialect, read from one line and typed.
//
// Values stay in the program's unit (millimetres or inches, as written);
// the control model turns them into millimetres.
#pragma once

#include <cstdint>

namespace nc {

enum class BlockKind : std::uint8_t {
    empty,            // a line without text: the control does nothing
    start,            // "% " (ISO) or "+ " (EIA): the program's first line
    end,              // "%": the program's last line, without a line end
    program_number,   // "O0012"
    comment,          // "(...)": for the operator
    material,         // "MAT/B3 H2 X2500 Y1250": material number, thickness, sheet size
    words,            // coordinate words, T, C, F, M with S (a stroke, a positioning, a laser block, a mode word)
    position,         // "MOV/X..Y..": positions the tool for the nibbling or circle command after it
    nibble_on,        // "NBL/": the next command nibbles
    nibble_line,      // "CAA/Z length clearance direction step"
    nibble_arc,       // "RAD/I radius+5 clearance start sweep step [C]"
    bolt_hole_circle, // "ARC/radius first step holes [C]"
    row,              // "LAA/pitch direction further-hits"
    laser_circle,     // "CIR/xc yc +-360" and F
    laser_arc,        // "LCI/L|R xe ye radius" and F (a negative radius sweeps more than half a turn)
    laser_end,        // "LED/DX0DY0": the beam goes off, the cut ends
    offset,           // "OFS/X..Y..": the origin of what follows; "OFS/X0Y0" cancels it
    pattern_begin,    // "PAT03/": a definition starts, stored by the control
    pattern_end,      // "END03": the definition ends
    pattern_call,     // "PAT03": one copy of the pattern
    pattern_repeat,   // "MGR/03 L 20 4": copies in a straight row
    reposition,       // "REP/DX1000": the clamps re-grip the sheet
    frame,            // "FRM/X1500": the control's X is this value here
    dwell,            // "DWL/X 1.5"
    parameter,        // a line of the LASER.PAR section
    user_text,        // a free NC text of the job that is no block of the dialect
};

// Which words a words block (or the tail of a command) holds.
enum Word : std::uint16_t {
    WORD_X = 1u << 0,
    WORD_Y = 1u << 1,
    WORD_T = 1u << 2,
    WORD_C = 1u << 3,
    WORD_F = 1u << 4,
    WORD_M = 1u << 5,
    WORD_S = 1u << 6,
};

enum class Compensation : std::uint8_t { none, left, right };

// How a line ends: the dialect ends every block with CR LF, and its last
// line, "%", with nothing.
enum class LineEnd : std::uint8_t { crlf, line_feed, none };

// Up to two parts of a repeat line: one per axis that moves.
struct RepeatPart {
    char axis = 'X';        // 'X' or 'Y'
    int sign = 1;           // R and U: +1, L and D: -1
    double pitch = 0.0;     // unsigned, program unit
    long long count = 0;
};

struct Block {
    long long line = 0;                 // counted from 1
    BlockKind kind = BlockKind::empty;
    LineEnd line_end = LineEnd::crlf;
    int text = -1;                      // comment, free text, parameter line: its text in the reader's table

    // Words (kind words, and the tails of commands).
    std::uint16_t words = 0;       // Word bits
    bool incremental = false;      // DX/DY instead of X/Y
    double x = 0.0, y = 0.0;       // X/Y or DX/DY
    int t = 0;                     // station
    double c = 0.0;                // index angle, degrees
    double f = 0.0;                // laser feed as written
    int m = 0;                     // M number
    long long s = 0;                  // S value, behind a technology M word
    Compensation compensation = Compensation::none;  // LAL/ or LAR/ in front of a laser start

    // Command values, in the order written.
    double values[5] = {0.0, 0.0, 0.0, 0.0, 0.0};
    long long count = 0;                // holes of ARC/, further hits of LAA/, program number, material number,
                                        // the start's code (0 ISO, 1 EIA)
    bool left = false;             // LCI/L
    int pattern = 0;               // PAT, END, MGR
    RepeatPart parts[2];
    int part_count = 0;
    int parameter = 0;             // the line's place in the LASER.PAR section, -1 for a line the section
                                   // does not hold that stands among its lines
};

}  // namespace nc
