// patterns.h - what the pattern hooks share: the number the control shows
// for a pattern.
#pragma once

namespace pelk {

// The host numbers its patterns after the program: the pattern that the
// control shows as PAT03/ arrives as c_program_number + 1 + 3.  Computed
// wide, so that no host number can overflow it; written with "%02lld"
// (at least two digits, a negative number with its sign).
long long shown_pattern_number(int pattern);

}  // namespace pelk
