// written_values.h - what the control reads from the numbers the module
// writes.  A command that the control expands ("LAA/", "CAA/Z", "RAD/I",
// "ARC/") and an incremental word move the tool by the values as written,
// rounded to the last digit of their text, not by the exact values the host
// handed over.  The module works out the place the control reaches from
// these, so that the next block writes every word it needs.
#pragma once

namespace pelk {

// The distance, in millimetres, that the control reads from the distance
// text of value (millimetres with two decimals, or inches with three on an
// inch machine).
double written_distance(double value);

// The number that the control reads from value written with two decimals
// (an angle in degrees).
double written_plain(double value);

// Where the control has the tool (plugin_state.h: asked_x, reached_x).
double reached_place_x();
double reached_place_y();

// A command left the tool at (x, y), worked out from its values as written:
// that is where the host's position and the control's both stand now (an
// axis the command did not move stays as it was).
void place_tool(double x, double y);

// A command wrote the place (x, y) as values the control reads from the
// origin (the end of "LCI/"): the host's position is (x, y), the control's
// the values as written.
void place_tool_as_written(double x, double y);

// The unit vector of a direction in degrees; exact along the axes, so that
// a row along X leaves Y as it stands.
void direction_vector(double degrees, double &dx, double &dy);

}  // namespace pelk
