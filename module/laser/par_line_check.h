// par_line_check.h - whether a data line of LASER.PAR may go into the
// program as a block of its own.
#pragma once

namespace pelk {

// Why the data line cannot stand in the program as a block (the warning's
// text), or nullptr when it can.  A line cannot when the control would read
// more into it than one block:
// - a control character (a tab, an escape; any byte below 32, and 127):
//   the control takes some of them as the end of the block or of the tape;
// - "%" as its first character after blanks: the end of the program, the
//   control would stop before the cut;
// - "(" as its first character after blanks: the control takes the line
//   as a comment for the operator, no parameter of the cut;
// - "(" without a ")" behind it: the comment would run into the blocks
//   after it; a ")" that no "(" opened;
// - a block the control runs itself (after blanks, a word of the program
//   such as X, M or T with its number, or one of its commands such as
//   OFS/ or PAT01): "M30" in a section would rewind the program before
//   its cut.
const char *data_line_fault(const char *line);

}  // namespace pelk
