// m_words.h - the M words of this control, named.
#pragma once

namespace nc {

enum MWord : int {
    M_STOP = 0,                  // M00: the program stops for the operator
    M_POSITION = 3,              // M03: the block positions the tool, no stroke
    M_PARK = 5,                  // M05: the block parks the sheet
    M_FORMING_ON = 8,            // M08: forming mode
    M_FORMING_OFF = 9,           // M09
    M_LASER_WORK = 20,           // M20: laser work on this sheet
    M_SMOOTH_JUNCTION = 21,      // M21: the laser's next junction is smooth
    M_CORNER_JUNCTION = 22,      // M22: a corner
    M_HEAD_UP = 23,              // M23: the laser head goes up
    M_TECHNOLOGY_1 = 27,         // M27, M34, M35, M28: the technology's mode, with S
    M_TECHNOLOGY_OTHER = 28,
    M_REWIND = 30,               // M30
    M_TECHNOLOGY_2 = 34,
    M_TECHNOLOGY_3 = 35,
    M_UNLOAD = 40,               // M40: the block unloads the sheet
    M_CLAMPS_OPEN = 41,          // M41: the clamps open for a re-grip, the axes move them
    M_CLAMPS_CLOSE = 42,         // M42: they take the sheet again
    M_TRAP_DOOR_READY = 55,      // M55: the block after it opens the trap door
    M_TRAP_DOOR = 56,            // M56: the trap door opens where the block puts the tool
    M_SELECTOR_1 = 71,           // M71 .. M74: the technology's selector
    M_SELECTOR_2 = 72,
    M_SELECTOR_3 = 73,
    M_SELECTOR_4 = 74,
    M_FEED_FULL = 80,            // M80 .. M83: the punching feed range, from the highest
    M_FEED_THREE_QUARTERS = 81,
    M_FEED_HALF = 82,
    M_FEED_QUARTER = 83,
    M_HEAD_MODE_1 = 121,         // M121 .. M124: laser-head modes 1, 0, 2, and the passage out of 2
    M_HEAD_MODE_0 = 122,
    M_HEAD_MODE_2 = 123,
    M_HEAD_MODE_LEAVE = 124,
    M_TOOL_MODE_0 = 610,         // M610, M611, M613, M615: the M61x mode of a station
    M_TOOL_MODE_1 = 611,
    M_TOOL_MODE_2 = 613,
    M_TOOL_MODE_3 = 615,
};

}  // namespace nc
