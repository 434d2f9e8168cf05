// plugin_state.h - the module's shared state, all of it in one place.
//
// Plain module variables, zero when the module is loaded.  pp_main resets
// them at the start of every NC program; the comment of each says who else
// changes it.  Nothing here lives on the heap.
#pragma once

#include <stddef.h>

#include "interface/host_records.h"
#include "plugin/nc_codes.h"

namespace pelk {

// Pattern offset: 1 while an "OFS/" offset is in force on the control.
// Set by the offset pattern calls, cleared by cancel_pattern_offset.
extern int offset_active;

// 1: the next index request for an indexable station writes its C word even
// when the angle is unchanged.  Set at a pattern header, cleared by pp_index
// and by pp_main at the start of the body.
extern int index_forced;

// M61x mode last written by prepare_tool_change (VARIANT_M61X): 0..3 for
// M_PUNCH_MODE_0..M_PUNCH_MODE_3 (M610, M611, M613, M615).
extern int last_m61x;

// 1 once the LASER.PAR section has been written into the current part of the
// program: a pattern definition, or the main body.  Each part that cuts gets
// the section ahead of its first laser step, as any of them can run first
// on the control.  Set by pp_laser_enable; back to 0 at the start of the
// program, and at the header and the end of every pattern definition.
extern int laser_par_loaded;

// What reading LASER.PAR gave for the current program, a LaserParOutcome.
// The file is read once per program, at the first laser step; every later
// part that cuts writes the kept section again, and a file that gave nothing
// is neither read nor reported again.  Set by pp_laser_enable.
extern int laser_par_outcome;

// The data lines of the sheet's section while laser_par_outcome is
// PAR_SECTION_KEPT: each line followed by '\n', the whole zero-terminated.
// A section that does not fit is not kept, and not written (laser_parameters.cpp).
enum { LASER_PAR_LINES_SIZE = 16384 };
extern char laser_par_lines[LASER_PAR_LINES_SIZE];

// Laser head mode last commanded by pp_laser_on, a LaserHeadMode: HEAD_MODE_1
// after M121, HEAD_MODE_0 after M122, HEAD_MODE_2 after M123,
// HEAD_MODE_UNKNOWN after M124.  Unknown again at program start, at pattern
// boundaries and after flip and turn (forget_laser_modes).
extern int laser_head_mode;

// The technology words the control has, as write_laser_tech_words last
// wrote them.  Every int is a value a technology can hold (a selector or a
// mode of -1 is M71 or M28), so whether they are known is a flag of its own:
// 0 makes the next contour start write the word whatever the technology holds.
// Forgotten at program start, at pattern boundaries, after every pattern call
// (the body may cut with other words) and after flip and turn
// (forget_laser_modes).
extern int laser_m7x_known;   // 1: last_laser_m7x is in force
extern int last_laser_m7x;    // M7x selector value (2 M72, 3 M73, 4 M74, any other M71)
extern int laser_tech_known;  // 1: last_laser_tech and last_laser_s are in force
extern int last_laser_tech;   // technology mode (1 M27, 2 M34, 3 M35, any other M28)
extern int last_laser_s;      // the S value written with it

// Pattern definitions at the top of the program whose body cuts with the
// laser, by host number (cutting_patterns.h): a call of one of them makes
// the laser words unknown.  Emptied at program start.
enum { CUTTING_PATTERNS_SIZE = 64 };
extern int defining_pattern;          // 1 from a definition's header line to its end line
extern int pattern_being_defined;     // its host number, while defining_pattern is 1
extern int cutting_patterns[CUTTING_PATTERNS_SIZE];
extern int cutting_pattern_count;     // entries of cutting_patterns in use
extern int cutting_patterns_overflow; // 1: more cutting patterns than the table holds, every call counts as cutting

// Junction word in force, a JunctionState: JUNCTION_SMOOTH after M21,
// JUNCTION_CORNER after M22, JUNCTION_UNKNOWN at every laser on.  Changed by
// hold_laser_block, write_pending_block and pp_laser_on.
extern int m21_m22_state;

// What hold_laser_block holds back, a PendingKind: PENDING_NONE, PENDING_LINE
// or PENDING_ARC.  Emptied by write_pending_block.
extern int pending_block_kind;

// The held laser cutting block without its block end, zero-terminated.
enum { PENDING_BLOCK_TEXT_SIZE = 5000 };
extern char pending_block_text[PENDING_BLOCK_TEXT_SIZE];

// Geometry of the held block: a line record while pending_block_kind is
// PENDING_LINE, a circle record while it is PENDING_ARC.
extern char pending_line[LINE_RECORD_SIZE];
extern char pending_arc[CIRCLE_RECORD_SIZE];

// Where the control has the tool, per axis.  The control goes where the
// words as written lead it, which differs from the place asked for by their
// rounding: an absolute word puts it on the written value, an increment
// moves it by the written increment from where it stood.  pp_x_y keeps the
// place it last asked for (asked) and the place the control reached
// (reached); while c_nc_x still holds asked_x, the control stands at
// reached_x, and once the host or a command has set c_nc_x itself, at
// c_nc_x.  Increments, and the commands that work from where the tool stands
// (a row, nibbling, a bolt-hole circle), start from the place reached, so
// that rounding never adds up (written_values.h).  Forgotten at program start
// and at every pattern header (forget_reached_place).
extern double asked_x;
extern double asked_y;
extern double reached_x;
extern double reached_y;

// ---- Resets ------------------------------------------------------------------

// Everything back to its value at the start of an NC program: no offset, no
// forced index, M610 mode, LASER.PAR neither read nor written, laser modes and
// the junction word unknown, nothing held back, no place reached by relative
// words.  Called by pp_main.
void reset_program_state();

// No place reached by the words is remembered: the control counts as
// standing at c_nc_x and c_nc_y.
void forget_reached_place();

// The laser head mode and the technology words are no longer known to the
// control (a new body, a pattern boundary or call, a flipped or turned
// sheet): the next contour start writes them all again.
void forget_laser_modes();

}  // namespace pelk
