// machine_files.cpp - the machine directory and the host's line reader.
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>

#include "host/host_state.h"
#include "host/open_file_path.h"
#include "host/trace.h"
#include "interface/host_api.h"

namespace {

// The name of an open file for a message: its path where the system tells
// it, "a file of the machine directory" otherwise.
std::string name_of(FILE *file) {
    const std::string path = host::open_file_path(file);
    return path.empty() ? "a file of the machine directory" : path;
}

// A file the module reads as text that cannot be read to its end, or that
// holds zero bytes (a binary or UTF-16 file): the module would take what it
// got for the whole file, so the user must hear of it.
void report_unreadable(FILE *file, int error_number) {
    try {
        host::detail::report("cannot read " + name_of(file) + ": " + std::strerror(error_number));
    } catch (...) {
        // Nothing may cross the C interface.
    }
}

void report_zero_byte(FILE *file) {
    try {
        host::detail::report(name_of(file) + " holds zero bytes: not a text file (binary, or UTF-16?)");
    } catch (...) {
    }
}

}  // namespace

extern "C" {

char *get_machine_dir_str(void) {
    // A copy of the host's own, so the module can never change the session.
    static char dir[job::MAX_MACHINE_DIR_LENGTH + 1];
    host::detail::copy_text(dir, sizeof dir, host::detail::session().machine_dir);
    HOST_TRACE("get_machine_dir_str() -> %s", host::trace::quoted(dir));
    return dir;
}

// Reads one line like fgets: at most limit - 1 characters and a zero, up to
// and including a line feed.  Non-zero while something was read, 0 at the
// end of the file (or for a buffer that cannot hold a character).  A read
// error ends the file like its end, and is reported as a warning.
int f_get_string(char *buffer, int limit, FILE *file) {
    if (buffer == nullptr || limit <= 0) return 0;
    buffer[0] = '\0';
    if (file == nullptr || limit == 1) return 0;
    int stored = 0;
    bool zero_byte = false;
    while (stored < limit - 1) {
        errno = 0;
        const int c = std::fgetc(file);
        if (c == EOF) {
            if (std::ferror(file)) report_unreadable(file, errno != 0 ? errno : EIO);
            break;
        }
        if (c == '\0') zero_byte = true;
        buffer[stored++] = static_cast<char>(c);
        if (c == '\n') break;
    }
    if (zero_byte) report_zero_byte(file);
    buffer[stored] = '\0';
    return stored > 0 ? 1 : 0;
}

}  // extern "C"
