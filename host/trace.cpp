// trace.cpp - the host's call trace: one line per hook call or host service.
#include "host/trace.h"

#include <cstdarg>
#include <cstdio>

#include "host/host_state.h"
#include "host/plain_format.h"

namespace host {

void set_trace(std::ostream *out) { detail::session().trace = out; }

}  // namespace host

namespace host::trace {

void line(const char *format, ...) {
    std::ostream *out = detail::session().trace;
    if (out == nullptr) return;
    char text[2048];
    va_list args;
    va_start(args, format);
    // Not vsnprintf: the trace reads the same whatever locale the process has.
    format_plain(text, sizeof text, format, args);
    va_end(args);
    try {
        *out << text << '\n';
    } catch (...) {
        // A failing trace stream must not stop the program being written.
    }
}

const char *quoted(const char *text, int slot) {
    static char slots[4][512];
    if (text == nullptr) return "NULL";
    if (slot < 0 || slot > 3) slot = 0;
    std::snprintf(slots[slot], sizeof slots[slot], "\"%s\"", text);
    return slots[slot];
}

}  // namespace host::trace
