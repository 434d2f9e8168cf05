// block_parser.cpp - the dialect's blocks, word by word.
//
// Every block the module can write has one form here; anything else is an
// error naming the line.  Words follow each other without blanks in a fixed
// order (X Y, or DX DY, then T, C, F, M and S); the commands take their
// values in fixed places, separated by single blanks.
#include "nc/block_parser.h"

#include <charconv>
#include <cmath>
#include <cstdio>

#include "nc/m_words.h"
#include "nc/program_error.h"

namespace nc {
namespace {

constexpr std::size_t SHOWN_TEXT_LIMIT = 60;
// The control's numbers are 32-bit: a longer one is no word of it (and must
// never wrap onto one that is).
constexpr long long INT_MAX_VALUE = 2147483647LL;
constexpr long long INT_MIN_VALUE = -2147483648LL;
constexpr long long MAX_M_WORD = 9999;
constexpr double LARGEST_VALUE = 1e9;
constexpr const char *BYTE_ORDER_MARK = "\xEF\xBB\xBF";

// The M words of this control.  Any other number is no word of it.
constexpr int KNOWN_M_WORDS[] = {
    M_STOP,           M_POSITION,        M_PARK,          M_FORMING_ON,      M_FORMING_OFF,     M_LASER_WORK,
    M_SMOOTH_JUNCTION, M_CORNER_JUNCTION, M_HEAD_UP,      M_TECHNOLOGY_1,    M_TECHNOLOGY_OTHER, M_REWIND,
    M_TECHNOLOGY_2,   M_TECHNOLOGY_3,    M_UNLOAD,        M_CLAMPS_OPEN,     M_CLAMPS_CLOSE,    M_TRAP_DOOR_READY,
    M_TRAP_DOOR,      M_SELECTOR_1,      M_SELECTOR_2,    M_SELECTOR_3,      M_SELECTOR_4,      M_FEED_FULL,
    M_FEED_THREE_QUARTERS, M_FEED_HALF,  M_FEED_QUARTER,  M_HEAD_MODE_1,     M_HEAD_MODE_0,     M_HEAD_MODE_2,
    M_HEAD_MODE_LEAVE, M_TOOL_MODE_0,    M_TOOL_MODE_1,   M_TOOL_MODE_2,     M_TOOL_MODE_3};
// Technology words, each followed by its S value.
constexpr int TECHNOLOGY_M_WORDS[] = {M_TECHNOLOGY_1, M_TECHNOLOGY_OTHER, M_TECHNOLOGY_2, M_TECHNOLOGY_3};
// M words that end a block which only positions the tool: plain, park,
// unload, trap door.
constexpr int POSITIONING_M_WORDS[] = {M_POSITION, M_PARK, M_UNLOAD, M_TRAP_DOOR};

template <std::size_t N>
bool one_of(int m, const int (&list)[N]) {
    for (int known : list) {
        if (known == m) return true;
    }
    return false;
}

// Reads the text of one block from left to right.
class Cursor {
public:
    Cursor(std::string_view text, long long line) : text_(text), line_(line) {}

    bool done() const { return at_ == text_.size(); }
    char peek() const { return done() ? '\0' : text_[at_]; }
    std::string_view rest() const { return text_.substr(at_); }

    bool take(std::string_view word) {
        if (text_.substr(at_, word.size()) != word) return false;
        at_ += word.size();
        return true;
    }
    void expect(std::string_view word, const char *what) {
        if (!take(word)) fail(std::string(what));
    }

    // A number as the dialect writes it: an optional minus, digits, and an
    // optional point with digits.
    bool number(double &value) {
        const std::size_t start = at_;
        std::size_t i = at_;
        if (i < text_.size() && text_[i] == '-') ++i;
        const std::size_t digits_start = i;
        while (i < text_.size() && is_digit(text_[i])) ++i;
        if (i == digits_start) return false;
        if (i < text_.size() && text_[i] == '.') {
            const std::size_t fraction = ++i;
            while (i < text_.size() && is_digit(text_[i])) ++i;
            if (i == fraction) return false;
        }
        const char *first = text_.data() + start;
        const auto result = std::from_chars(first, text_.data() + i, value, std::chars_format::fixed);
        if (result.ec != std::errc() || result.ptr != text_.data() + i) return false;
        // No value of a program reaches a billion: a longer number is no
        // place, length or angle the machine has.
        if (!(std::fabs(value) <= LARGEST_VALUE)) fail("\"" + std::string(first, text_.data() + i) + "\" is beyond the values the control takes");
        at_ = i;
        return true;
    }
    double need_number(const char *what) {
        double value = 0.0;
        if (!number(value)) fail(std::string("a number must follow ") + what);
        return value;
    }
    // A whole number, optionally negative.
    bool integer(long long &value) {
        std::size_t i = at_;
        if (i < text_.size() && text_[i] == '-') ++i;
        const std::size_t digits_start = i;
        while (i < text_.size() && is_digit(text_[i])) ++i;
        if (i == digits_start || i - digits_start > 12) return false;
        const auto result = std::from_chars(text_.data() + at_, text_.data() + i, value);
        if (result.ec != std::errc()) return false;
        at_ = i;
        return true;
    }
    long long need_integer(const char *what) {
        long long value = 0;
        if (!integer(value)) fail(std::string("a whole number must follow ") + what);
        return value;
    }

    int need_pattern_number(const char *what) {
        const long long n = need_integer(what);
        if (n < -2147483647LL || n > 2147483647LL) fail("no pattern of the control has the number " + std::to_string(n));
        return static_cast<int>(n);
    }

    // A count of the control's commands: it counts to 2147483647.
    long long need_count(const char *what) {
        const long long n = need_integer(what);
        if (n > 2147483647LL || n < -2147483647LL) fail("the control does not count to " + std::to_string(n));
        return n;
    }

    [[noreturn]] void fail(const std::string &message) const {
        throw ProgramError(line_, shown_text(text_) + ": " + message);
    }
    void expect_end() const {
        if (!done()) fail("\"" + shown_text(rest()) + "\" is out of place here");
    }

private:
    static bool is_digit(char c) { return c >= '0' && c <= '9'; }

    std::string_view text_;
    std::size_t at_ = 0;
    long line_;
};

// ---- Words -------------------------------------------------------------------

// Reads words up to the end of the text, in the dialect's order; allowed:
// the Word bits that may stand here.
void read_words(Cursor &c, Block &b, std::uint16_t allowed) {
    int last_place = -1;
    auto place = [&](int p, const char *word) {
        if (p <= last_place) c.fail(std::string(word) + " is out of place: the words go X Y (or DX DY), T, C, F, M, S");
        last_place = p;
    };
    auto allow = [&](std::uint16_t bit, const char *word) {
        if ((allowed & bit) == 0) c.fail(std::string(word) + " is out of place in this block");
        b.words |= bit;
    };
    bool absolute_seen = false;
    while (!c.done()) {
        if (c.take("DX") || c.take("DY")) {
            // take() moved past the two letters: look back at which one.
            const bool is_x = c.rest().data()[-1] == 'X';
            if (absolute_seen) c.fail("absolute and incremental words in one block");
            b.incremental = true;
            place(is_x ? 0 : 1, is_x ? "DX" : "DY");
            allow(is_x ? WORD_X : WORD_Y, is_x ? "DX" : "DY");
            (is_x ? b.x : b.y) = c.need_number(is_x ? "DX" : "DY");
        } else if (c.peek() == 'X' || c.peek() == 'Y') {
            const bool is_x = c.peek() == 'X';
            c.take(is_x ? "X" : "Y");
            if (b.incremental) c.fail("absolute and incremental words in one block");
            absolute_seen = true;
            place(is_x ? 0 : 1, is_x ? "X" : "Y");
            allow(is_x ? WORD_X : WORD_Y, is_x ? "X" : "Y");
            (is_x ? b.x : b.y) = c.need_number(is_x ? "X" : "Y");
        } else if (c.take("T")) {
            place(2, "T");
            allow(WORD_T, "T");
            const long long t = c.need_integer("T");
            if (t < 1 || t > 9999) c.fail("T" + std::to_string(t) + " is no station of the turret");
            b.t = static_cast<int>(t);
        } else if (c.take("C")) {
            place(3, "C");
            allow(WORD_C, "C");
            b.c = c.need_number("C");
        } else if (c.take("F")) {
            place(4, "F");
            allow(WORD_F, "F");
            b.f = c.need_number("F");
            if (b.f < 0.0) c.fail("a feed cannot be negative");
        } else if (c.take("M")) {
            place(5, "M");
            allow(WORD_M, "M");
            const long long m = c.need_integer("M");
            if (m < 0 || m > MAX_M_WORD || !one_of(static_cast<int>(m), KNOWN_M_WORDS)) {
                c.fail("M" + std::to_string(m) + " is no word of this control");
            }
            b.m = static_cast<int>(m);
        } else if (c.take("S")) {
            place(6, "S");
            allow(WORD_S, "S");
            b.s = c.need_integer("S");
            if (b.s < INT_MIN_VALUE || b.s > INT_MAX_VALUE) c.fail("S" + std::to_string(b.s) + " is beyond the values the control takes");
        } else {
            c.fail("\"" + shown_text(c.rest()) + "\" is no word of this control");
        }
    }
}

bool has(const Block &b, std::uint16_t bits) { return (b.words & bits) != 0; }
constexpr std::uint16_t COORDINATES = WORD_X | WORD_Y;

// What a words block may hold together: a stroke or positioning (coordinates,
// T, C, and one of the positioning M words), a laser block (coordinates and
// F), a tool and index block (T, C), or an M word of its own (a technology
// word with its S value).
void check_word_block(Cursor &c, const Block &b) {
    if (b.compensation != Compensation::none) {
        if (!has(b, COORDINATES) || !has(b, WORD_F) || has(b, WORD_T | WORD_C | WORD_M)) {
            c.fail("LAL/ and LAR/ open a laser start: coordinates and F follow, nothing else");
        }
        return;
    }
    if (has(b, WORD_F) && has(b, WORD_T | WORD_C | WORD_M)) c.fail("F stands only with coordinates in a laser block");
    if (has(b, WORD_S) && !has(b, WORD_M)) c.fail("S stands only behind M27, M28, M34 or M35");
    if (has(b, WORD_M)) {
        const bool technology = one_of(b.m, TECHNOLOGY_M_WORDS);
        if (technology != has(b, WORD_S)) {
            c.fail(technology ? "M" + std::to_string(b.m) + " needs its S value" : "S stands only behind M27, M28, M34 or M35");
        }
        if (one_of(b.m, POSITIONING_M_WORDS)) {
            if (!has(b, COORDINATES)) c.fail("M" + std::to_string(b.m) + " ends a positioning: coordinates must come first");
        } else if (b.words != WORD_M && b.words != (WORD_M | WORD_S)) {
            c.fail("M" + std::to_string(b.m) + " stands in a block of its own");
        }
    }
    if (!has(b, COORDINATES | WORD_T | WORD_C | WORD_M | WORD_F)) c.fail("a block of no words");
}

// ---- Commands -------------------------------------------------------------------

void blank(Cursor &c, const char *before) { c.expect(" ", (std::string("a blank must come before ") + before).c_str()); }

// Values separated by single blanks; the first one follows the command at
// once (first_blank false) or after a blank.
void read_values(Cursor &c, Block &b, int n, bool first_blank, const char *const names[]) {
    for (int i = 0; i < n; ++i) {
        if (i > 0 || first_blank) blank(c, names[i]);
        b.values[i] = c.need_number(names[i]);
    }
}

// The tail of RAD/I and ARC/: a blank, then the tool word (never needed)
// and the index word.
void read_index_tail(Cursor &c, Block &b) {
    if (c.done()) return;  // the blank may be lost by an editor
    blank(c, "the index word");
    read_words(c, b, WORD_T | WORD_C);
}

void read_command(Cursor &c, Block &b) {
    static const char *const NIBBLE_LINE[] = {"the length", "the clearance", "the direction", "the step"};
    static const char *const NIBBLE_ARC[] = {"the radius", "the clearance", "the start angle", "the sweep", "the step"};
    static const char *const CIRCLE[] = {"the radius", "the first hole's angle", "the step angle"};
    static const char *const ROW[] = {"the pitch", "the direction"};
    static const char *const LASER_CIRCLE[] = {"the centre's X", "the centre's Y", "the turn"};
    static const char *const LASER_ARC[] = {"the end's X", "the end's Y", "the radius"};

    if (c.take("MAT/B")) {
        b.kind = BlockKind::material;
        b.count = c.need_count("MAT/B");
        c.expect(" H", "the thickness H must follow the material number");
        b.values[0] = c.need_number("H");
        c.expect(" X", "the sheet's size X must follow the thickness");
        b.values[1] = c.need_number("X");
        c.expect(" Y", "the sheet's size Y must follow X");
        b.values[2] = c.need_number("Y");
    } else if (c.take("MOV/")) {
        b.kind = BlockKind::position;
        read_words(c, b, COORDINATES);
        if (!has(b, COORDINATES)) c.fail("MOV/ needs coordinates");
    } else if (c.take("NBL/")) {
        b.kind = BlockKind::nibble_on;
    } else if (c.take("CAA/Z")) {
        b.kind = BlockKind::nibble_line;
        read_values(c, b, 4, true, NIBBLE_LINE);
    } else if (c.take("RAD/I")) {
        b.kind = BlockKind::nibble_arc;
        read_values(c, b, 5, true, NIBBLE_ARC);
        read_index_tail(c, b);
    } else if (c.take("ARC/")) {
        b.kind = BlockKind::bolt_hole_circle;
        read_values(c, b, 3, false, CIRCLE);
        blank(c, "the number of holes");
        b.count = c.need_count("the step angle");
        read_index_tail(c, b);
    } else if (c.take("LAA/")) {
        b.kind = BlockKind::row;
        read_values(c, b, 2, false, ROW);
        blank(c, "the number of further hits");
        b.count = c.need_count("the direction");
    } else if (c.take("CIR/")) {
        b.kind = BlockKind::laser_circle;
        read_values(c, b, 3, false, LASER_CIRCLE);
        read_words(c, b, WORD_F);
        if (!has(b, WORD_F)) c.fail("CIR/ needs its feed F");
        if (b.values[2] != 360.0 && b.values[2] != -360.0) c.fail("CIR/ turns by 360 or -360");
    } else if (c.take("LCI/")) {
        b.kind = BlockKind::laser_arc;
        if (c.take("L")) {
            b.left = true;
        } else if (!c.take("R")) {
            c.fail("LCI/ needs its sense, L or R");
        }
        read_values(c, b, 3, true, LASER_ARC);
        read_words(c, b, WORD_F);
        if (!has(b, WORD_F)) c.fail("LCI/ needs its feed F");
        if (b.values[2] == 0.0) c.fail("an arc of radius 0");
    } else if (c.take("LED/DX0DY0")) {
        b.kind = BlockKind::laser_end;
    } else if (c.take("LAL/") || c.take("LAR/")) {
        b.kind = BlockKind::words;
        b.compensation = c.rest().data()[-2] == 'L' ? Compensation::left : Compensation::right;
        read_words(c, b, COORDINATES | WORD_F);
        check_word_block(c, b);
    } else if (c.take("OFS/")) {
        b.kind = BlockKind::offset;
        c.expect("X", "OFS/ needs X and Y");
        b.x = c.need_number("X");
        c.expect("Y", "OFS/ needs X and Y");
        b.y = c.need_number("Y");
    } else if (c.take("MGR/")) {
        b.kind = BlockKind::pattern_repeat;
        b.pattern = c.need_pattern_number("MGR/");
        while (!c.done()) {
            if (b.part_count == 2) c.fail("a repeat moves along two axes at most");
            blank(c, "the direction of the repeat");
            RepeatPart &part = b.parts[b.part_count];
            const char d = c.peek();
            if (d != 'L' && d != 'R' && d != 'U' && d != 'D') c.fail("a repeat goes L, R, D or U");
            c.take(std::string_view(&d, 1));
            part.axis = d == 'L' || d == 'R' ? 'X' : 'Y';
            part.sign = d == 'R' || d == 'U' ? 1 : -1;
            if (b.part_count == 1 && (b.parts[0].axis == 'Y' || part.axis == 'X')) c.fail("X (L, R) comes first, then Y (D, U)");
            blank(c, "the pitch");
            part.pitch = c.need_number("the direction");
            if (part.pitch < 0.0) c.fail("the pitch of a repeat has no sign: the direction gives it");
            blank(c, "the number of copies");
            part.count = c.need_count("the pitch");
            ++b.part_count;
        }
        if (b.part_count == 0) c.fail("MGR/ needs a direction, a pitch and the number of copies");
        if (b.part_count == 2 && b.parts[0].count != b.parts[1].count) c.fail("both axes of a repeat make the same number of copies");
        b.count = b.parts[0].count;
        if (b.count < 1) c.fail("a repeat makes at least one copy");
    } else if (c.take("REP/DX")) {
        b.kind = BlockKind::reposition;
        b.values[0] = c.need_number("REP/DX");
    } else if (c.take("FRM/X")) {
        b.kind = BlockKind::frame;
        b.values[0] = c.need_number("FRM/X");
    } else if (c.take("DWL/X")) {
        b.kind = BlockKind::dwell;
        blank(c, "the dwell time");
        b.values[0] = c.need_number("DWL/X");
        if (b.values[0] < 0.0) c.fail("a dwell cannot be negative");
    } else if (c.take("PAT")) {
        b.pattern = c.need_pattern_number("PAT");
        b.kind = c.take("/") ? BlockKind::pattern_begin : BlockKind::pattern_call;
    } else if (c.take("END")) {
        b.kind = BlockKind::pattern_end;
        b.pattern = c.need_pattern_number("END");
    } else if (c.peek() == 'O' && c.rest().size() > 1 && c.rest()[1] >= '0' && c.rest()[1] <= '9') {
        c.take("O");
        b.kind = BlockKind::program_number;
        b.count = c.need_count("O");
        if (b.count < 0) c.fail("a program number is not negative");
    } else {
        b.kind = BlockKind::words;
        read_words(c, b, COORDINATES | WORD_T | WORD_C | WORD_F | WORD_M | WORD_S);
        check_word_block(c, b);
    }
    c.expect_end();
}

}  // namespace

std::string shown_text(std::string_view text) {
    std::string shown;
    for (char ch : text) {
        if (shown.size() >= SHOWN_TEXT_LIMIT) {
            shown += "...";
            break;
        }
        const auto u = static_cast<unsigned char>(ch);
        if (u < 0x20 || u == 0x7f) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\x%02x", u);
            shown += escaped;
        } else {
            shown += ch;
        }
    }
    return shown;
}

namespace {

// Two to six capitals and a slash: the form of the commands of the
// machine's laser parameters.
bool foreign_command(std::string_view text) {
    std::size_t n = 0;
    while (n < text.size() && text[n] >= 'A' && text[n] <= 'Z') ++n;
    return n >= 2 && n <= 6 && n < text.size() && text[n] == '/';
}

}  // namespace

Block parse_block(std::string_view text, long long line, bool first, const KnownTexts &known) {
    Block b;
    b.line = line;
    Cursor c(text, line);
    // 1. The frame and comments: the control takes them as such whatever a
    // parameter file or the job says.
    if (text.empty()) return b;
    if (first) {
        if (text.substr(0, 3) == BYTE_ORDER_MARK) {
            c.fail("the program starts with a UTF-8 byte-order mark, which the control reads as text: save it without one");
        }
        if (text == "% " || text == "+ ") {
            b.kind = BlockKind::start;
            b.count = text[0] == '+' ? 1 : 0;  // EIA, ISO
            return b;
        }
        c.fail("a program starts with \"% \" (ISO) or \"+ \" (EIA)");
    }
    if (text[0] == '%') {
        if (text != "%") c.fail("\"%\" ends the program and stands alone");
        b.kind = BlockKind::end;
        return b;
    }
    if (text[0] == '(') {
        if (text.back() != ')') c.fail("a comment without its closing \")\"");
        b.kind = BlockKind::comment;
        return b;
    }
    // 2. The machine's laser parameters, as the section holds them.
    if (!known.parameter_lines.empty()) {
        if (const auto found = known.parameter_lines.find(std::string(text)); found != known.parameter_lines.end()) {
            b.kind = BlockKind::parameter;
            b.parameter = found->second;
            return b;
        }
    }
    // 3. The dialect; a free NC text of the job stands as the user wrote it.
    try {
        read_command(c, b);
    } catch (const ProgramError &e) {
        if (const auto found = known.user_texts.find(std::string(text)); found != known.user_texts.end()) {
            Block user;
            user.line = line;
            user.kind = BlockKind::user_text;
            user.parameter = found->second;
            return user;
        }
        if (known.foreign_commands && foreign_command(text)) {
            Block foreign;
            foreign.line = line;
            foreign.kind = BlockKind::user_text;
            foreign.parameter = -1;
            return foreign;
        }
        if (known.unknown_hint.empty()) throw;
        const std::string message = e.what();
        throw ProgramError(line, message.substr(message.find(": ") + 2) + known.unknown_hint);
    }
    return b;
}

}  // namespace nc
