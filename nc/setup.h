// setup.h - what the control knows before a program runs: the machine's
// units and load position, the texts that stand in programs as they are,
// and the patterns it holds already.
#pragma once

#include <map>
#include <memory>
#include <vector>

#include "nc/block_parser.h"
#include "nc/event.h"
#include "nc/text_table.h"

namespace nc {

inline constexpr double MM_PER_INCH = 25.4;

// The laser's F word for one feed: the job's feed × 100 on a millimetre
// machine, × 1000 / 25.4 on an inch machine.  An inch program's F is this
// many times smaller than the millimetre program's; the millimetre F is
// millimetres a minute.
inline constexpr double INCH_F_IN_MM_F = 2.54;

// RAD/I names the nibbled arc's radius plus this allowance, in millimetres
// (converted on an inch machine); the control leaves the tool that far out.
inline constexpr double NIBBLE_ARC_ALLOWANCE_MM = 5.0;

// A pattern the control holds already (a program that calls it without
// defining it): what one copy does, relative to the pattern's origin.
// Strokes take the station in use at the call; an angle counts where the
// event's checks say so.
struct StoredPattern {
    std::vector<Event> events;
    double end_x = 0.0, end_y = 0.0;   // where the copy leaves the tool
};

struct Setup {
    bool inch = false;                 // the program's lengths are inches
    double load_x = 0.0, load_y = 0.0; // where the sheet stands when the program starts, mm
    KnownTexts known;                  // LASER.PAR lines and the job's own NC texts
    // The table the texts of the program's comments and free texts are
    // numbered in, shared with whatever their events are compared with.
    std::shared_ptr<TextTable> texts = std::make_shared<TextTable>();
    std::map<int, StoredPattern> stored_patterns;  // by the number the program calls
};

}  // namespace nc
