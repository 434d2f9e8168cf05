// nc_codes.h - every code of the control and every mode the module writes or
// remembers, named once.  M words go out as "M%02d" through gen_nc_m.
#pragma once

namespace pelk {

// ---- M words ----------------------------------------------------------------
enum MCode : int {
    M_OPERATOR_STOP = 0,        // M00: program stop, the operator restarts
    M_NO_STROKE = 3,            // M03: the block only positions, no stroke
    M_UNLOAD_POSITION = 5,      // M05: park block when a loader/unloader takes the sheet
    M_FORMING_ON = 8,           // M08: before the change to a forming tool
    M_FORMING_OFF = 9,          // M09: before the change away from a forming tool
    M_TECH_MODE_1 = 27,         // M27: laser technology mode 1 (with its S word)
    M_TECH_MODE_OTHER = 28,     // M28: laser technology mode other than 1, 2, 3
    M_TECH_MODE_2 = 34,         // M34: laser technology mode 2
    M_TECH_MODE_3 = 35,         // M35: laser technology mode 3
    M_LASER_WORK = 20,          // M20: laser work begins / ends (also before flip and turn)
    M_SMOOTH_JUNCTION = 21,     // M21: the next laser block joins smoothly
    M_CORNER_JUNCTION = 22,     // M22: the next laser block starts at a corner
    M_LASER_HEAD_UP = 23,       // M23: laser head up
    M_REWIND = 30,              // M30: end of program with rewind
    M_UNLOADER_RELEASE = 40,    // M40: the unloader takes the sheet
    M_REPOSITION_BEGIN = 41,    // M41: clamps open for an explicit repositioning
    M_REPOSITION_END = 42,      // M42: clamps close after an explicit repositioning
    M_TRAP_DOOR_OPEN = 55,      // M55: trap door open
    M_TRAP_DOOR_CLOSE = 56,     // M56: trap door close
    M_PUNCH_MODE_0 = 610,       // M610..M615: punch modes 0..3 of a station (variant 7001)
    M_PUNCH_MODE_1 = 611,
    M_PUNCH_MODE_2 = 613,
    M_PUNCH_MODE_3 = 615,
    M_HEAD_MODE_1 = 121,        // M121: laser head mode 1
    M_HEAD_MODE_0 = 122,        // M122: laser head mode 0
    M_HEAD_MODE_2 = 123,        // M123: laser head mode 2
    M_HEAD_MODE_NONE = 124,     // M124: laser head mode off (mode unknown afterwards)
    M_TECH_SELECT_1 = 71,       // M71..M74: laser technology selector
    M_TECH_SELECT_2 = 72,
    M_TECH_SELECT_3 = 73,
    M_TECH_SELECT_4 = 74,
};

// ---- Machine variants (c_post_processor) ----------------------------------
enum Variant : int {
    VARIANT_BASIC = 7000,       // no extra blocks
    VARIANT_M61X = 7001,        // material block, feed ranges, forming and M61x modes
    VARIANT_FORMING = 7002,     // feed ranges and forming mode
};

// ---- Host selectors the module reads ------------------------------------------
enum : int { UNITS_INCH = 1 };                          // c_mch_units: inch machine
// c_nc_sub_type: patterns written at the top of the program, coordinate words
// plain absolute or incremental (0); the offset form of patterns (7).
enum PatternStyle : int { SUBS_AT_TOP = 0, PATTERN_STYLE_PLAIN = 0, SUB_TYPE_OFFSET = 7 };
enum : int { LASER_WORK_IN_USE = 2 };                   // c_laser_allowed: M20 around the body
enum : int { COMP_NONE = 0, COMP_LEFT = 1, COMP_RIGHT = 2 };  // c_nc_laser_off_comp: LAL/, LAR/

// ---- Remembered modes: -1 means unknown, the next use writes its word ------
enum : int { MODE_UNKNOWN = -1 };

// Junction word in force (m21_m22_state).
enum JunctionState : int { JUNCTION_UNKNOWN = -1, JUNCTION_CORNER = 0, JUNCTION_SMOOTH = 1 };

// Laser head mode in force (laser_head_mode): the mode last commanded, unknown
// after M124.  Mode 0 follows M122, mode 1 M121, mode 2 M123.
enum LaserHeadMode : int { HEAD_MODE_UNKNOWN = MODE_UNKNOWN, HEAD_MODE_0 = 0, HEAD_MODE_1 = 1, HEAD_MODE_2 = 2 };

// What reading LASER.PAR gave for the program (laser_par_outcome).
enum LaserParOutcome : int {
    PAR_NOT_READ = 0,          // not read yet in this program
    PAR_SECTION_KEPT = 1,      // the sheet's section stands in laser_par_lines
    PAR_NOTHING_TO_WRITE = 2,  // no file, no fitting section, or one not taken whole: reported once
};

// What the held laser block holds (pending_block_kind).
enum PendingKind : int { PENDING_NONE = 0, PENDING_LINE = 1, PENDING_ARC = 2 };

// ---- Sheet handling: host values the sheet hooks act on ---------------------

// Trap-door event kind (sheet event record): only this kind opens the door.
enum TrapDoorKind : int { TRAP_DOOR_OPEN_KIND = 5 };

// Repositioning form (c_pelk_repos_type): the control's "REP/" command; any
// other value writes the explicit M41 ... M42 sequence.
enum RepositionForm : int { REPOSITION_BY_COMMAND = 1 };

// Kind passed to gen_nc_feedrate: the feed word goes into the block (1), or
// the feed only becomes the one in force, no block end following (2).
enum FeedKind : int { FEED_IN_BLOCK = 1, FEED_IN_FORCE = 2 };

// Host message texts of the operator comments before a flip or turn.
enum SheetMessage : int {
    MSG_FLIP_SHEET = 1373,
    MSG_TURN_KIND_0 = 1374,
    MSG_TURN_KIND_1 = 1375,
    MSG_TURN_KIND_2 = 1376,
};

}  // namespace pelk
