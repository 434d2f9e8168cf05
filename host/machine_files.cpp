// machine_files.cpp - the machine directory and the host's line reader.
#include <cstdio>

#include "host/host_state.h"
#include "host/trace.h"
#include "interface/host_api.h"

extern "C" {

char *get_machine_dir_str(void) {
    // A copy of the host's own, so the module can never change the session.
    static char dir[job::MAX_MACHINE_DIR_LENGTH + 1];
    host::detail::copy_text(dir, sizeof dir, host::detail::session().machine_dir);
    host::trace::line("get_machine_dir_str() -> %s", host::trace::quoted(dir));
    return dir;
}

// Reads one line like fgets: at most limit - 1 characters and a zero, up to
// and including a line feed.  Non-zero while something was read, 0 at the
// end of the file (or for a buffer that cannot hold a character).
int f_get_string(char *buffer, int limit, FILE *file) {
    if (buffer == nullptr || limit <= 0) return 0;
    buffer[0] = '\0';
    if (file == nullptr || limit == 1) return 0;
    int stored = 0;
    while (stored < limit - 1) {
        const int c = std::fgetc(file);
        if (c == EOF) break;
        buffer[stored++] = static_cast<char>(c);
        if (c == '\n') break;
    }
    buffer[stored] = '\0';
    return stored > 0 ? 1 : 0;
}

}  // extern "C"
