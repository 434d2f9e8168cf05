// output_file_platform.h - what the platform files of OutputFile share with
// its common part.  Used by cli/output_file*.cpp only.
#pragma once

#include <string>

namespace cli {

// "what name: reason" for an error number.
std::string output_failure(const std::string &what, const std::string &name, int error_number);

// errno, or EIO where a failing call left it unset.
int last_output_error();

// Makes standard output take the program's bytes as they are ("\r\n" stays
// "\r\n"); false with errno set when it cannot.
bool stdout_takes_bytes_as_they_are();

}  // namespace cli
