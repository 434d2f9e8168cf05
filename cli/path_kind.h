// path_kind.h - paths that name an open descriptor or a device rather than a
// file of their own.
#pragma once

#include <string>

namespace cli {

// True for /dev/... and /proc/... paths (/dev/stdin, /dev/fd/63 of a process
// substitution, /proc/self/fd/1): they may lead to a regular file that a
// shell opened, but that file is not theirs to rename over or to put a
// program beside.
inline bool names_a_descriptor(const std::string &path) {
    return path.rfind("/dev/", 0) == 0 || path.rfind("/proc/", 0) == 0;
}

}  // namespace cli
