// block_parser.h - one line of a program into a typed block.
#pragma once

#include <string>
#include <string_view>
#include <unordered_map>

#include "nc/block.h"

namespace nc {

// Texts that stand in a program as they are, besides the dialect's blocks:
// the lines of the LASER.PAR section the machine uses, and the job's own NC
// texts.  A line equal to one of them is taken as such.
struct KnownTexts {
    std::unordered_map<std::string, int> parameter_lines;  // text -> its first place in the section
    std::unordered_map<std::string, int> user_texts;       // text -> its first place among the job's texts
    // Added to the message of a line the dialect does not know, when the
    // parameter lines could not be had ("; no section of ... fits the sheet").
    std::string unknown_hint;
    // A program read without its job has no LASER.PAR section to know its
    // lines by: a line that reads like one (a command word the dialect does
    // not have, "LPAR/P1200F3000") then stands as it is, as a free text.
    bool foreign_commands = false;
};

// Parses the text of one line (without its line end).  first: the line is
// the program's first.  Throws ProgramError naming the line for a block the
// control does not know or a word out of place.
Block parse_block(std::string_view text, long long line, bool first, const KnownTexts &known);

// The text of a line as shown in messages: control characters escaped, long
// texts cut.
std::string shown_text(std::string_view text);

}  // namespace nc
