// event_stream.h - the events of a program packed for the page: one record
// per event, small integers as variable-length numbers, places in
// micrometres as differences from the place before, so that a row of a
// million strokes costs a few bytes a stroke.  The page's script
// (view/assets/page.js, decodeEvents) reads them back; the two must change
// together.
//
// A record starts with a byte: the record's kind in its low five bits, bit
// 0x20 when the event stands in a copy of a pattern (the call's line
// follows), bit 0x40 when it does not start where the one before ended (its
// start follows), bit 0x80 when it starts and ends there (a tool change, an
// index turn, a mode: no places follow).  Then, for an event: its line
// (difference from the line before), [its start x0 and y0, differences from
// the end before], [its end x and y, differences from its start,
// micrometres], its time (hundredths of a second since the event before,
// of the running sum), [the call's line, as a difference from its own], and
// the fields of its kind.  Three records are no events: the tool in
// force, the laser's words in force, and where the control's coordinates
// lie on the sheet; each comes before the first event it holds for.
#pragma once

#include <cstdint>
#include <string>

#include "nc/event.h"

namespace view {

// Record kinds, as page.js knows them.
enum Record : std::uint8_t {
    R_STROKE = 0,
    R_NIBBLE = 1,
    R_PIERCE = 2,
    R_LASER = 3,
    R_CUT_END = 4,
    R_MOVE = 5,
    R_COPY = 6,
    R_STOP = 7,
    R_REGRIP = 8,
    R_FRAME = 9,
    R_TRAP_DOOR = 10,
    R_DWELL = 11,
    R_FEED_RANGE = 12,
    R_TOOL_CHANGE = 13,
    R_INDEX_TURN = 14,
    R_SHEET = 15,
    R_PARAMETER = 16,
    R_OTHER = 17,      // an event the page does not draw
    R_TOOL = 28,       // station, index angle, forming and M61x modes
    R_TECHNOLOGY = 29, // head mode, M7x, technology word and S, feed, compensation
    R_SHEET_PLACE = 30,// the control's coordinates lie this far off the sheet's, and the side of the sheet
};

inline constexpr std::uint8_t IN_COPY = 0x20;
inline constexpr std::uint8_t OWN_START = 0x40;
inline constexpr std::uint8_t STAYS = 0x80;

class EventStream {
public:
    // e as the control gives it; seconds: its time; shift_x, shift_y: where
    // the control's coordinates lie on the sheet (sheet = control + shift);
    // side: which side of the sheet is up, counted from 0 at each operator
    // stop that may flip or turn it.
    void add(const nc::Event &e, double seconds, double shift_x, double shift_y, int side);
    const std::string &bytes() const { return bytes_; }
    long long events() const { return events_; }

private:
    void number(std::uint64_t v);
    void signed_number(std::int64_t v);
    void length(double mm);                   // micrometres, unsigned
    void tool(const nc::Tool &t);
    void technology(const nc::Technology &t);

    std::string bytes_;
    long long events_ = 0;
    std::int64_t line_ = 0, x_ = 0, y_ = 0;
    double seconds_ = 0.0;
    std::int64_t hundredths_ = 0;
    bool have_tool_ = false, have_technology_ = false;
    nc::Tool tool_;
    nc::Technology technology_;
    double shift_x_ = 0.0, shift_y_ = 0.0;
    int side_ = 0;
};

// Micrometres of a length in millimetres, bounded (a program's places lie
// well inside; anything beyond is drawn at the bound).
std::int64_t micrometres(double mm);

}  // namespace view
