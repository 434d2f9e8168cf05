// byte_input_posix.cpp - every descriptor reads bytes as they are.
#include "cli/byte_input.h"

#include <fcntl.h>
#include <unistd.h>

namespace cli {

int open_bytes(const std::string &path) { return ::open(path.c_str(), O_RDONLY | O_CLOEXEC); }

int standard_input_bytes() { return STDIN_FILENO; }

}  // namespace cli
