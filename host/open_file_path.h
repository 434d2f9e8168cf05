// open_file_path.h - the path of a file that the process has open, as the
// system tells it.  One implementation per platform (open_file_path_posix.cpp,
// open_file_path_windows.cpp).
#pragma once

#include <cstdio>
#include <string>

namespace host {

// The path of the open file, or an empty text when the system cannot tell.
std::string open_file_path(std::FILE *file);

}  // namespace host
