// open_file_path_posix.cpp - the path behind a descriptor, from /proc.
#include "host/open_file_path.h"

#include <unistd.h>

namespace host {

std::string open_file_path(std::FILE *file) {
    char link[64];
    std::snprintf(link, sizeof link, "/proc/self/fd/%d", ::fileno(file));
    char path[1024];
    const ssize_t length = ::readlink(link, path, sizeof path - 1);
    if (length <= 0) return "";
    return std::string(path, static_cast<std::size_t>(length));
}

}  // namespace host
