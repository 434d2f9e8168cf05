// byte_input_windows.cpp - descriptors in binary mode, so that "\r\n" and a
// Ctrl+Z byte reach the reader as they are.
#include "cli/byte_input.h"

#include <fcntl.h>
#include <io.h>

namespace cli {

int open_bytes(const std::string &path) { return ::_open(path.c_str(), _O_RDONLY | _O_BINARY | _O_NOINHERIT); }

int standard_input_bytes() {
    ::_setmode(0, _O_BINARY);
    return 0;
}

}  // namespace cli
