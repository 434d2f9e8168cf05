#include "laser/par_line_check.h"

#include <stddef.h>

namespace pelk {

namespace {

constexpr char PROGRAM_END = '%';
constexpr char COMMENT_OPEN = '(';
constexpr char COMMENT_CLOSE = ')';
constexpr unsigned char FIRST_PRINTABLE = 0x20;
constexpr unsigned char DELETE = 0x7F;

constexpr const char *CONTROL_CHARACTER_TEXT =
    "Line of the laser parameter file holds a control character (a tab, an escape or the like), skipped";
constexpr const char *PROGRAM_END_TEXT =
    "Line of the laser parameter file begins with \"%\", the end of the program on the control, skipped";
constexpr const char *OPEN_COMMENT_TEXT =
    "Line of the laser parameter file opens a comment with \"(\" and does not close it, skipped";
constexpr const char *STRAY_CLOSE_TEXT =
    "Line of the laser parameter file closes a comment with \")\" that it did not open, skipped";
constexpr const char *COMMENT_LINE_TEXT =
    "Line of the laser parameter file is a comment on the control (it begins with \"(\"), not a parameter, skipped";
constexpr const char *OWN_BLOCK_TEXT =
    "Line of the laser parameter file is a block the control runs itself (a word such as X, M or T with its number, "
    "or a command such as OFS/), not a parameter, skipped";

// The commands of the program's own dialect; PAT and END are followed by
// the pattern's number.
constexpr const char *const OWN_COMMANDS[] = {"MAT/", "MOV/", "NBL/", "CAA/", "RAD/", "ARC/", "LAA/", "CIR/", "LCI/",
                                              "LED/", "LAL/", "LAR/", "OFS/", "MGR/", "REP/", "FRM/", "DWL/"};
constexpr const char *const NUMBERED_COMMANDS[] = {"PAT", "END"};
// The words of a block: a letter (or DX, DY) and its number.
constexpr const char *const OWN_WORDS[] = {"DX", "DY", "X", "Y", "T", "C", "M", "F", "S", "O"};

bool starts_with(const char *text, const char *start) {
    for (; *start != '\0'; ++start, ++text) {
        if (*text != *start) return false;
    }
    return true;
}

bool starts_a_number(char c) { return (c >= '0' && c <= '9') || c == '-' || c == '+' || c == '.'; }

// Whether the control would run the line (its blanks skipped) as a block of
// its own dialect.
bool is_own_block(const char *text) {
    for (const char *command : OWN_COMMANDS) {
        if (starts_with(text, command)) return true;
    }
    for (const char *command : NUMBERED_COMMANDS) {
        if (starts_with(text, command) && text[3] >= '0' && text[3] <= '9') return true;
    }
    for (const char *word : OWN_WORDS) {
        const size_t length = word[1] == '\0' ? 1 : 2;
        if (starts_with(text, word) && starts_a_number(text[length])) return true;
    }
    return false;
}

bool is_control(char c) {
    const auto byte = static_cast<unsigned char>(c);
    return byte < FIRST_PRINTABLE || byte == DELETE;
}

}  // namespace

const char *data_line_fault(const char *line) {
    bool comment_open = false;
    bool stray_close = false;
    for (const char *p = line; *p != '\0'; ++p) {
        if (is_control(*p)) return CONTROL_CHARACTER_TEXT;
        if (*p == COMMENT_OPEN) comment_open = true;
        if (*p == COMMENT_CLOSE) {
            if (!comment_open) stray_close = true;
            comment_open = false;
        }
    }
    const char *first = line;
    while (*first == ' ') ++first;
    if (*first == PROGRAM_END) return PROGRAM_END_TEXT;
    if (*first == COMMENT_OPEN) return COMMENT_LINE_TEXT;
    if (comment_open) return OPEN_COMMENT_TEXT;
    if (stray_close) return STRAY_CLOSE_TEXT;
    if (is_own_block(first)) return OWN_BLOCK_TEXT;
    return nullptr;
}

}  // namespace pelk
