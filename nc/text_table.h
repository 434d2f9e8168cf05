// text_table.h - the texts that stand in a program as they are (comments,
// free NC texts, lines of LASER.PAR), each kept once and named by a number.
//
// Events carry the number, not the text: a million copies of a pattern that
// holds a comment hold one text.  A program read back and its job's
// expansion share one table, so that two events with the same text carry
// the same number.
#pragma once

#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace nc {

class TextTable {
public:
    // The text's number, the same for the same text.
    int id(std::string_view text);
    const std::string &text(int id) const;
    // How many texts it holds: their numbers are 0 up to this, in the order
    // they came.
    std::size_t size() const { return texts_.size(); }

private:
    std::unordered_map<std::string, int> ids_;
    std::vector<std::string> texts_;
};

}  // namespace nc
