// byte_input.h - descriptors that read a file's bytes as they are, line ends
// and all (Windows would otherwise read in text mode), and that a program
// the tool starts does not inherit.  One implementation per platform
// (byte_input_posix.cpp, byte_input_windows.cpp).
#pragma once

#include <string>

namespace cli {

// Opens the file for reading; -1 with errno set when it cannot be opened.
int open_bytes(const std::string &path);

// Standard input, ready to be read as bytes.
int standard_input_bytes();

}  // namespace cli
