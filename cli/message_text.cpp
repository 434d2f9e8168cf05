// message_text.cpp - long texts cut and control characters shown in messages.
#include "cli/message_text.h"

#include <cstdio>
#include <cstring>

#include "cli/exit_status.h"

namespace cli {
namespace {

constexpr std::size_t LONGEST_RUN = 80;     // longer runs are cut ...
constexpr std::size_t RUN_KEPT = 60;        // ... to this many characters and "..."
constexpr std::size_t LONGEST_MESSAGE = 1000;
constexpr std::size_t MESSAGE_HEAD = 700;   // a longer message keeps its head ...
constexpr std::size_t MESSAGE_TAIL = 200;   // ... and its tail
constexpr const char *RUN_ENDS = " /\"':,()";

bool is_continuation_byte(char c) { return (static_cast<unsigned char>(c) & 0xC0) == 0x80; }

// A cut at or before at that does not split a UTF-8 character.
std::size_t cut_before(const std::string &text, std::size_t at) {
    while (at > 0 && at < text.size() && is_continuation_byte(text[at])) --at;
    return at;
}

// A cut at or after at that does not split a UTF-8 character.
std::size_t cut_after(const std::string &text, std::size_t at) {
    while (at < text.size() && is_continuation_byte(text[at])) ++at;
    return at;
}

std::string show_control_characters(const std::string &text) {
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        const unsigned char byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte == 0x7F) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\x%02X", byte);
            out += escaped;
        } else {
            out += c;
        }
    }
    return out;
}

std::string cut_long_runs(const std::string &text) {
    std::string out;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find_first_of(RUN_ENDS, start);
        if (end == std::string::npos) end = text.size();
        if (end - start > LONGEST_RUN) {
            out.append(text, start, cut_before(text, start + RUN_KEPT) - start);
            out += "...";
        } else {
            out.append(text, start, end - start);
        }
        if (end < text.size()) out += text[end];
        start = end + 1;
    }
    return out;
}

std::string cut_middle(const std::string &text) {
    if (text.size() <= LONGEST_MESSAGE) return text;
    const std::size_t head = cut_before(text, MESSAGE_HEAD);
    const std::size_t tail = cut_after(text, text.size() - MESSAGE_TAIL);
    return text.substr(0, head) + " ... " + text.substr(tail);
}

}  // namespace

std::string printable(const std::string &text) { return cut_middle(cut_long_runs(show_control_characters(text))); }

int fail(const std::string &reason) {
    std::fprintf(stderr, "pelk-post: error: %s\n", printable(reason).c_str());
    return not_written;
}

int fail_command_line(const std::string &reason) {
    fail(reason);
    return bad_command_line;
}

}  // namespace cli
