// messages.cpp - the host's message texts and how it shows messages.
#include <cstdio>
#include <string>

#include "host/host_state.h"
#include "host/trace.h"
#include "interface/host_api.h"

namespace {

struct MessageText {
    int number;
    const char *text;
};

// 837 and 851 are formats with exactly one %d.
constexpr MessageText MESSAGE_TEXTS[] = {
    {837, "there is no turret station %d"},
    {851, "pattern number above the limit of %d "},
    {852, " the control may not accept this pattern"},
    {853, "check the nibbled circle or arc: the tool was indexed"},
    {863, "SHEET"},
    {889, "CLAMP"},
    {1311, "cannot open the laser parameter file"},
    {1318, "no section of the laser parameter file matches the sheet's material and thickness"},
    {1373, "FLIP THE SHEET AND RESTART"},
    {1374, "TURN THE SHEET 90 DEGREES CLOCKWISE AND RESTART"},
    {1375, "TURN THE SHEET 180 DEGREES AND RESTART"},
    {1376, "TURN THE SHEET 90 DEGREES COUNTERCLOCKWISE AND RESTART"},
    {1382, "material number:"},
    {1383, "the material name has no '(' followed by the material number"},
};

// Append a part to a message line, with a separator before it when the
// line already holds text.
void append_part(std::string &line, const char *separator, const char *part) {
    if (part == nullptr || *part == '\0') return;
    if (!line.empty()) line += separator;
    line += part;
}

}  // namespace

namespace host {

void set_stop_on_warnings(bool stop) { detail::session().stop_on_warnings = stop; }

void set_message_stream(std::ostream *out) { detail::session().message_stream = out; }

const std::vector<std::string> &messages() { return detail::session().messages; }

const std::vector<MessageCount> &message_counts() { return detail::session().message_counts; }

long message_total() { return detail::session().message_total; }

long message_count(const std::string &text) {
    const detail::Session &s = detail::session();
    const auto found = s.counted.find(text);
    return found == s.counted.end() ? 0 : s.message_counts[found->second].count;
}

void show_repeated_messages() {
    const detail::Session &s = detail::session();
    if (s.message_stream == nullptr) return;
    for (const MessageCount &m : s.message_counts) {
        if (m.count > 1) *s.message_stream << "pelk-post: warning: " << m.text << " (" << m.count << " times in all)\n";
    }
    s.message_stream->flush();
}

void set_message_text(int n, const std::string &text) {
    for (auto &replaced : detail::session().message_texts) {
        if (replaced.first == n) {
            replaced.second = text;
            return;
        }
    }
    detail::session().message_texts.emplace_back(n, text);
}

}  // namespace host

namespace host::detail {

void report(const std::string &text) {
    Session &s = session();
    ++s.message_total;
    if (s.messages.size() < MAX_LOGGED_MESSAGES) s.messages.push_back("warning: " + text);
    const auto [place, first_time] = s.counted.try_emplace(text, s.message_counts.size());
    if (first_time) s.message_counts.push_back(MessageCount{text, 1});
    else ++s.message_counts[place->second].count;
    // Asked to stop on warnings: nothing more reaches the writer, and the
    // message is the reason the run fails.
    if (s.stop_on_warnings) s.refused = true;
    if (first_time && s.message_stream != nullptr) {
        *s.message_stream << "pelk-post: " << (s.stop_on_warnings ? "error: " : "warning: ") << text << '\n'
                          << std::flush;
    }
}

}  // namespace host::detail

extern "C" {

char *cmsg(int n) {
    for (auto &replaced : host::detail::session().message_texts) {
        if (replaced.first == n) {
            HOST_TRACE("cmsg(%d) -> %s", n, host::trace::quoted(replaced.second.c_str()));
            return replaced.second.data();
        }
    }
    for (const MessageText &m : MESSAGE_TEXTS) {
        if (m.number == n) {
            HOST_TRACE("cmsg(%d) -> %s", n, host::trace::quoted(m.text));
            // The module only reads the texts; the C interface has no const.
            return const_cast<char *>(m.text);
        }
    }
    // Unknown numbers: a text of their own, kept in a few rotating slots so
    // that two such texts can be used together.
    static char unknown[4][32];
    static int next = 0;
    char *text = unknown[next];
    next = (next + 1) % 4;
    std::snprintf(text, sizeof unknown[0], "message %d", n);
    HOST_TRACE("cmsg(%d) -> %s", n, host::trace::quoted(text));
    return text;
}

int prerr(int kind, const char *title, const char *text, const char *detail) {
    HOST_TRACE("prerr(%d, %s, %s, %s) -> 0", kind, host::trace::quoted(title, 0),
               host::trace::quoted(text, 1), host::trace::quoted(detail, 2));
    try {
        std::string body;
        append_part(body, " ", title);
        append_part(body, " ", text);
        append_part(body, ": ", detail);
        host::detail::report(body);
    } catch (...) {
        // Nothing may cross the C interface; a message that cannot be kept is lost.
    }
    return 0;
}

int pp_wait_for_key(int kind, const char *text) {
    const int result = host::detail::session().stop_on_warnings ? 1 : 0;
    HOST_TRACE("pp_wait_for_key(%d, %s) -> %d", kind, host::trace::quoted(text), result);
    try {
        host::detail::report(text != nullptr ? text : "");
    } catch (...) {
    }
    return result;
}

int pp_auto_processing_status(void) {
    HOST_TRACE("pp_auto_processing_status() -> 0");
    return 0;
}

}  // extern "C"
