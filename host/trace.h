// trace.h - the host's call trace, for the host's own files.
//
// When a trace stream is set (host::set_trace), every hook call the host
// makes and every host service the module calls is written as one line,
// for example "pp_hit(100, 50, 3, 1, 1.570796327, 0, 0) -> 0".  Doubles are
// written with "%.10g"; texts in double quotes, a null text as NULL.  A call
// without a result is written before it runs; a call with a result when it
// returns, so the calls it made itself stand above it.
#pragma once

#include "host/host_state.h"

namespace host::trace {

// True while a trace stream is set.  Asked at every host service: inline.
inline bool on() { return detail::session().trace != nullptr; }

// Writes one line (printf rules, no line end needed) when the trace is on.
// Called through HOST_TRACE.
void line(const char *format, ...) __attribute__((format(printf, 1, 2)));

// A text argument as the trace shows it: quoted, or NULL.  The result lives
// until the next call of quoted() with the same slot (0..3).
const char *quoted(const char *text, int slot = 0);

}  // namespace host::trace

// One trace line.  While the trace is off, its arguments are not even
// worked out: a program of a million blocks pays nothing for the trace.
#define HOST_TRACE(...) (host::trace::on() ? host::trace::line(__VA_ARGS__) : void())
