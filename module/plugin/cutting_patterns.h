// cutting_patterns.h - which pattern definitions of the program cut with the
// laser.
//
// A call of a pattern runs its body on the control, laser words and all: a
// body that cuts leaves the head mode and the technology words as it set
// them.  The definitions written at the top of the program show which
// bodies cut, so that only their calls make the laser words unknown; under
// any other pattern style the control runs definitions the program does not
// show, and every call does.
#pragma once

namespace pelk {

// The header of a definition (its host number) and its end line.
void begin_pattern_definition(int pattern);
void end_pattern_definition();

// A laser element is written: inside a definition, its body cuts.
void note_laser_element();

// Whether a call of the pattern (its host number) may change the laser words.
bool pattern_may_cut(int pattern);

}  // namespace pelk
