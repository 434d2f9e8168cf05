// event_text.h - an event in words, with its numbers in the program's unit.
#pragma once

#include <string>

#include "nc/event.h"
#include "nc/text_table.h"

namespace verify {

// "stroke at X520.5 Y300 T5 C90", "laser arc to X500 Y140 radius 20, L", ...
// with_angle: show the index angle of strokes and nibbling; texts: the
// table the event's text (a comment's) is numbered in.
std::string event_text(const nc::Event &e, bool inch, bool with_angle, const nc::TextTable *texts = nullptr);

// A length in the program's unit, trimmed: 520.5, 0.394.
std::string length_text(double mm, bool inch);

}  // namespace verify
