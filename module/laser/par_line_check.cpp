#include "laser/par_line_check.h"

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
    return nullptr;
}

}  // namespace pelk
