// operator_notes.h - the notes this machine's programs give the operator
// before a stop to flip or turn the sheet.  After such a stop the operator
// takes the sheet off and loads it again at the load position; after any
// other stop (a note of the job's own, "(CHECK THE BURR)") the sheet stays
// in the clamps where it was.
#pragma once

#include <string>
#include <string_view>

namespace nc {

// The kinds of turn, as the job names them: 0 a quarter clockwise, 1 a half,
// 2 a quarter counterclockwise.
inline constexpr int TURN_KINDS = 3;

// "(FLIP THE SHEET AND RESTART)".
std::string flip_note();
// "(TURN THE SHEET 180 DEGREES AND RESTART)" and its like; "" for a kind
// outside 0 to 2.
std::string turn_note(int kind);

// Whether comment (with its brackets) tells the operator to flip or turn the
// sheet.
bool reloads_the_sheet(std::string_view comment);

}  // namespace nc
