// program_error.h - a program the reader cannot take: a block it does not
// know, a word out of place, a command that leaves the control's reach.
#pragma once

#include <stdexcept>
#include <string>

namespace nc {

class ProgramError : public std::runtime_error {
public:
    // what() reads "line N: message".
    ProgramError(long long line, const std::string &message)
        : std::runtime_error("line " + std::to_string(line) + ": " + message), line_(line) {}
    long long line() const { return line_; }

private:
    long long line_;
};

}  // namespace nc
