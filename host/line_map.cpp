// line_map.cpp - the block map: which part of the job the host drove when
// each line of the program was flushed.
#include <cstring>

#include "host/host_state.h"
#include "interface/host_api.h"

namespace host {

void set_line_map(LineMap *map) { detail::session().line_map = map; }

}  // namespace host

namespace host::detail {

namespace {

// The lines that begin in text[from, to), told as the place's.
void tell(const char *text, std::size_t from, std::size_t to, const StepPlace &place) {
    Session &s = session();
    if (from >= to) return;
    long long count = s.line_open ? 0 : 1;  // a line begins at from unless the last one goes on
    for (const char *p = text + from, *end = text + to;;) {
        const void *found = std::memchr(p, '\n', static_cast<std::size_t>(end - p));
        if (found == nullptr) break;
        p = static_cast<const char *>(found) + 1;
        if (p < end) ++count;  // the next line begins inside this part
    }
    s.line_open = text[to - 1] != '\n';
    if (count > 0) s.line_map->lines(s.next_line, count, place);
    s.next_line += count;
}

}  // namespace

void drive(const StepPlace &place) {
    Session &s = session();
    if (s.line_map != nullptr && c_nc_buff[0] != '\0' && s.pending_bytes == 0) {
        s.pending_bytes = nc_text_length();
        s.pending_place = s.place;
    }
    s.place = place;
}

void map_lines(const char *text, std::size_t length) {
    Session &s = session();
    if (s.line_map == nullptr) return;
    const std::size_t pending = s.pending_bytes < length ? s.pending_bytes : length;
    tell(text, 0, pending, s.pending_place);
    tell(text, pending, length, s.place);
    s.pending_bytes = 0;
}

}  // namespace host::detail
