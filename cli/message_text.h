// message_text.h - texts from the job or the file system made fit for a one
// line message on a terminal.
#pragma once

#include <string>

namespace cli {

// The text with every control character written as "\xNN", every long run of
// text between blanks, slashes, quotes, colons and commas cut to its first
// characters and "...", and the whole cut to a few hundred characters in its
// middle.  A key of a megabyte in the job then costs a short line, and a line
// break in a key cannot split the message.
std::string printable(const std::string &text);

// Shows "pelk-post: error: <reason>" on standard error, made printable.
// Answers the exit status for a run that did not write its program.
int fail(const std::string &reason);

// The same for a command line that cannot be run as it stands (an output
// over an input, say): answers the exit status of a wrong command line.
int fail_command_line(const std::string &reason);

}  // namespace cli
