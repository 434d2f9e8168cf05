// json_scanner.cpp - the JSON text, byte by byte, into events.
#include "job/json_scanner.h"

#include <charconv>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "job/job_reader.h"
#include "job/json_number.h"

namespace job {
namespace {

// Where the scanner stands between two tokens.
enum class Expect {
    value,             // any value
    value_or_close,    // right after "[": a value or "]"
    key,               // after "," in an object: a key
    key_or_close,      // right after "{": a key or "}"
    after_value,       // a value is complete: ",", a closing bracket, or the end
};

// The deepest nesting of objects and arrays taken.
constexpr std::size_t MAX_DEPTH = 512;

// Longest number text quoted in a message.
constexpr std::size_t QUOTED_NUMBER_LENGTH = 60;

class Scanner {
public:
    Scanner(TextSource &source, JsonEvents &events) : source_(source), events_(events) {}
    void run();

private:
    // ---- The bytes
    bool more() { return p_ < end_ || refill(); }
    bool refill();
    int peek() { return more() ? static_cast<unsigned char>(*p_) : END; }
    std::size_t offset() const { return piece_offset_ + static_cast<std::size_t>(p_ - piece_); }
    void skip_whitespace() {
        // Mostly there is none, or a single blank.
        // Distances, not p_ + 1: before the first piece and after the last
        // p_ is null, and no arithmetic may be done on it.
        const std::ptrdiff_t left = end_ - p_;
        if (left > 0 && static_cast<unsigned char>(*p_) > ' ') return;
        if (left > 1 && *p_ == ' ' && static_cast<unsigned char>(p_[1]) > ' ') {
            ++p_;
            return;
        }
        skip_some_whitespace();
    }
    void skip_some_whitespace();
    void skip_byte_order_mark();

    // ---- The tokens
    std::string_view read_text();
    void read_escape();
    void read_utf8_sequence(unsigned char lead);
    void append_code_point(std::uint32_t code);
    unsigned read_hex4();
    void read_number();
    void hand_number(std::string_view number, const NumberShape &shape, std::size_t start);
    void read_literal(std::string_view word);
    void open(char bracket);
    void close(char bracket);

    // ---- Faults
    [[noreturn]] void fail_at(std::size_t at, const std::string &detail) const;
    [[noreturn]] void fail_here(const std::string &detail) const { fail_at(offset(), detail); }
    // "expected <what>, found <the byte here>"
    [[noreturn]] void fail_expected(const char *what) { fail_found(offset(), what, peek()); }
    [[noreturn]] void fail_found(std::size_t at, const char *what, int found) const;
    // What may follow a complete value where the scanner stands.
    const char *expected_after_value() const {
        return open_.empty() ? "the end of the text" : open_.back() == '{' ? "',' or '}'" : "',' or ']'";
    }

    static constexpr int END = -1;

    TextSource &source_;
    JsonEvents &events_;
    const char *piece_ = nullptr;  // the piece being read
    const char *p_ = nullptr;      // the next byte
    const char *end_ = nullptr;
    std::size_t piece_offset_ = 0; // bytes of the text before the piece
    bool source_done_ = false;
    std::size_t line_ = 1;
    std::size_t line_start_ = 0;   // offset of the first byte of the line
    std::string token_;            // the text, key or number being read
    std::vector<char> open_;       // the open objects and arrays: '{' or '['
};

bool Scanner::refill() {
    if (source_done_) return false;
    piece_offset_ += static_cast<std::size_t>(end_ - piece_);
    const std::string_view piece = source_.next_piece();
    piece_ = p_ = piece.data();
    end_ = piece_ + piece.size();
    if (piece.empty()) {
        source_done_ = true;
        piece_ = p_ = end_ = nullptr;
        return false;
    }
    return true;
}

void Scanner::skip_some_whitespace() {
    while (more()) {
        const char *p = p_;
        while (p < end_ && (*p == ' ' || *p == '\t' || *p == '\r')) ++p;
        p_ = p;
        if (p_ == end_) continue;
        if (*p_ != '\n') return;
        ++p_;
        ++line_;
        line_start_ = offset();
    }
}

// ---- Faults ---------------------------------------------------------------------

void Scanner::fail_at(std::size_t at, const std::string &detail) const {
    // Every token stands on one line: a fault is on the line being read.
    const std::size_t column = at >= line_start_ ? at - line_start_ + 1 : 1;
    throw JobError("line " + std::to_string(line_) + ", column " + std::to_string(column) + ": " + detail);
}

void Scanner::fail_found(std::size_t at, const char *what, int c) const {
    if (c == 0) fail_at(at, "a NUL byte, which no JSON text holds");
    std::string found;
    if (c == END) {
        found = "the end of the text";
    } else if (c >= 0x21 && c < 0x7f) {
        found = std::string("'") + static_cast<char>(c) + "'";
    } else {
        static const char HEX[] = "0123456789ABCDEF";
        found = std::string("the byte 0x") + HEX[c >> 4] + HEX[c & 0xf];
    }
    fail_at(at, std::string("syntax error: expected ") + what + ", found " + found);
}

// ---- Texts ----------------------------------------------------------------------

// A byte that stands for itself in a text: printable ASCII but the quote
// and the backslash.
inline bool plain_text_byte(char c) {
    const auto b = static_cast<unsigned char>(c);
    return b >= 0x20 && b < 0x80 && b != '"' && b != '\\';
}

std::string_view Scanner::read_text() {
    ++p_;  // the opening quote
    // Most texts are plain and end inside the piece: read where they stand.
    const char *p = p_;
    while (p < end_ && plain_text_byte(*p)) ++p;
    if (p < end_ && *p == '"') {
        const std::string_view text(p_, static_cast<std::size_t>(p - p_));
        p_ = p + 1;
        return text;
    }
    token_.clear();
    for (;;) {
        // The run of plain bytes, the bulk of every text, at once.
        while (p < end_ && plain_text_byte(*p)) ++p;
        token_.append(p_, p);
        p_ = p;
        if (p_ == end_) {
            // The piece ends inside the text: on with the next one.
            if (!refill()) fail_here("syntax error: the text is not closed before the end of the text");
            p = p_;
            continue;
        }
        const int c = static_cast<unsigned char>(*p_);
        if (c == '"') {
            ++p_;
            return token_;
        }
        if (c == '\\') {
            read_escape();
        } else if (c == 0) {
            fail_here("a NUL byte, which no JSON text holds");
        } else if (c < 0x20) {
            fail_here("syntax error: a control character in a text; write it as an escape (\\n, \\t, \\u00XX)");
        } else {
            ++p_;
            read_utf8_sequence(static_cast<unsigned char>(c));
        }
        p = p_;
    }
}

// The continuation bytes after lead, checked: the shortest form of a code
// point up to U+10FFFF, no surrogates.
void Scanner::read_utf8_sequence(unsigned char lead) {
    const std::size_t at = offset() - 1;
    int follow = 0;
    unsigned char low = 0x80, high = 0xBF;  // the range of the first continuation byte
    if (lead >= 0xC2 && lead <= 0xDF) follow = 1;
    else if (lead == 0xE0) follow = 2, low = 0xA0;
    else if (lead >= 0xE1 && lead <= 0xEF) follow = 2, high = lead == 0xED ? 0x9F : 0xBF;
    else if (lead == 0xF0) follow = 3, low = 0x90;
    else if (lead >= 0xF1 && lead <= 0xF3) follow = 3;
    else if (lead == 0xF4) follow = 3, high = 0x8F;
    else fail_at(at, "syntax error: a text that is not UTF-8");
    token_ += static_cast<char>(lead);
    for (int i = 0; i < follow; ++i) {
        const int c = peek();
        if (c == END || c < low || c > high) fail_at(at, "syntax error: a text that is not UTF-8");
        token_ += static_cast<char>(c);
        ++p_;
        low = 0x80;
        high = 0xBF;
    }
}

unsigned Scanner::read_hex4() {
    unsigned code = 0;
    for (int i = 0; i < 4; ++i) {
        const int c = peek();
        unsigned digit = 0;
        if (c >= '0' && c <= '9') digit = static_cast<unsigned>(c - '0');
        else if (c >= 'a' && c <= 'f') digit = static_cast<unsigned>(c - 'a' + 10);
        else if (c >= 'A' && c <= 'F') digit = static_cast<unsigned>(c - 'A' + 10);
        else fail_expected("a hexadecimal digit of a \\u escape");
        code = code * 16 + digit;
        ++p_;
    }
    return code;
}

void Scanner::append_code_point(std::uint32_t code) {
    if (code < 0x80) {
        token_ += static_cast<char>(code);
    } else if (code < 0x800) {
        token_ += static_cast<char>(0xC0 | (code >> 6));
        token_ += static_cast<char>(0x80 | (code & 0x3F));
    } else if (code < 0x10000) {
        token_ += static_cast<char>(0xE0 | (code >> 12));
        token_ += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        token_ += static_cast<char>(0x80 | (code & 0x3F));
    } else {
        token_ += static_cast<char>(0xF0 | (code >> 18));
        token_ += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
        token_ += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        token_ += static_cast<char>(0x80 | (code & 0x3F));
    }
}

void Scanner::read_escape() {
    const std::size_t at = offset();
    ++p_;  // the backslash
    const int c = peek();
    char plain = 0;
    switch (c) {
    case '"': plain = '"'; break;
    case '\\': plain = '\\'; break;
    case '/': plain = '/'; break;
    case 'b': plain = '\b'; break;
    case 'f': plain = '\f'; break;
    case 'n': plain = '\n'; break;
    case 'r': plain = '\r'; break;
    case 't': plain = '\t'; break;
    case 'u': break;
    default: fail_at(at, "syntax error: an unknown escape in a text (known: \\\" \\\\ \\/ \\b \\f \\n \\r \\t \\uXXXX)");
    }
    ++p_;
    if (c != 'u') {
        token_ += plain;
        return;
    }
    std::uint32_t code = read_hex4();
    if (code >= 0xDC00 && code <= 0xDFFF) fail_at(at, "syntax error: a \\u escape of a low surrogate without its high one");
    if (code >= 0xD800 && code <= 0xDBFF) {
        // UTF-16: the high half of a pair, the low half must follow.
        if (peek() != '\\') fail_at(at, "syntax error: a \\u escape of a high surrogate without its low one");
        ++p_;
        if (peek() != 'u') fail_at(at, "syntax error: a \\u escape of a high surrogate without its low one");
        ++p_;
        const std::uint32_t low = read_hex4();
        if (low < 0xDC00 || low > 0xDFFF) fail_at(at, "syntax error: a \\u escape of a high surrogate without its low one");
        code = 0x10000 + ((code - 0xD800) << 10) + (low - 0xDC00);
    }
    append_code_point(code);
}

// ---- Numbers and literals -----------------------------------------------------------

// A byte that may stand in a number.
inline bool number_byte(char c) {
    return (c >= '0' && c <= '9') || c == '-' || c == '+' || c == '.' || c == 'e' || c == 'E';
}

void Scanner::read_number() {
    const std::size_t start = offset();
    // Mostly the number ends inside the piece and is read where it stands.
    NumberShape shape = shape_of_number(p_, static_cast<std::size_t>(end_ - p_));
    if (p_ + shape.length < end_) {
        const char *after = p_ + shape.length;
        if (shape.missing != nullptr) fail_found(start + shape.length, shape.missing, static_cast<unsigned char>(*after));
        const std::string_view number(p_, shape.length);
        p_ = after;
        return hand_number(number, shape, start);
    }
    // It may go on in the next piece: its bytes are gathered first.
    token_.clear();
    while (more() && number_byte(*p_)) token_ += *p_++;
    shape = shape_of_number(token_.data(), token_.size());
    const int after = shape.length < token_.size() ? static_cast<unsigned char>(token_[shape.length]) : peek();
    if (shape.missing != nullptr) fail_found(start + shape.length, shape.missing, after);
    hand_number(std::string_view(token_).substr(0, shape.length), shape, start);
    // Gathered bytes past the number cannot follow a value.
    if (shape.length < token_.size()) fail_found(start + shape.length, expected_after_value(), after);
}

void Scanner::hand_number(std::string_view number, const NumberShape &shape, std::size_t start) {
    if (shape.whole && shape.counted <= MAX_KEPT_DIGITS) {
        // A whole number of up to 15 digits: its digits are its value.
        if (!shape.negative) return events_.integer(shape.digits);
        return events_.negative_integer(-static_cast<long long>(shape.digits));
    }
    const char *begin = number.data();
    const char *end = begin + number.size();
    if (shape.whole) {
        // Whole numbers keep all their digits when they fit 64 bits; past
        // that they are read as doubles.
        if (shape.negative) {
            long long v = 0;
            if (std::from_chars(begin, end, v).ec == std::errc()) return events_.negative_integer(v);
        } else {
            unsigned long long v = 0;
            if (std::from_chars(begin, end, v).ec == std::errc()) return events_.integer(v);
        }
    }
    double v = 0.0;
    if (quick_double(shape, v) || std::from_chars(begin, end, v).ec == std::errc()) return events_.fraction(v);
    // Out of the range of a double: too small rounds to zero like strtod
    // does; too large has no value.
    const std::string text(number);
    v = std::strtod(text.c_str(), nullptr);
    if (!std::isfinite(v)) {
        fail_at(start, "the number " + text.substr(0, QUOTED_NUMBER_LENGTH) +
                           (text.size() > QUOTED_NUMBER_LENGTH ? "..." : "") + " is too large");
    }
    events_.fraction(v);
}

void Scanner::read_literal(std::string_view word) {
    const std::size_t start = offset();
    for (char expected : word) {
        if (peek() != static_cast<unsigned char>(expected)) {
            if (peek() == 0) fail_here("a NUL byte, which no JSON text holds");
            fail_at(start, "syntax error: expected a value, found an unknown word (a text needs double quotes)");
        }
        ++p_;
    }
}

// ---- Structure ------------------------------------------------------------------

void Scanner::open(char bracket) {
    // No job goes deeper than a few levels; a text that does is no job, and
    // its levels would cost memory without end.
    if (open_.size() == MAX_DEPTH) {
        fail_here("objects and arrays nested deeper than " + std::to_string(MAX_DEPTH) + " levels");
    }
    ++p_;
    open_.push_back(bracket);
    if (bracket == '{') events_.start_object();
    else events_.start_array();
}

void Scanner::close(char bracket) {
    ++p_;
    open_.pop_back();
    if (bracket == '}') events_.end_object();
    else events_.end_array();
}

// Editors on Windows may put a byte order mark in front of UTF-8 text: it
// is no part of the JSON and is skipped.
void Scanner::skip_byte_order_mark() {
    static constexpr unsigned char MARK[] = {0xEF, 0xBB, 0xBF};
    if (peek() != MARK[0]) return;
    for (unsigned char byte : MARK) {
        if (peek() != byte) fail_expected("a value");
        ++p_;
    }
    line_start_ = offset();
}

void Scanner::run() {
    skip_byte_order_mark();
    Expect expect = Expect::value;
    for (;;) {
        skip_whitespace();
        const int c = peek();
        switch (expect) {
        case Expect::key_or_close:
            if (c == '}') {
                close('}');
                expect = Expect::after_value;
                continue;
            }
            [[fallthrough]];
        case Expect::key:
            if (c != '"') fail_expected(expect == Expect::key ? "a key in double quotes" : "a key in double quotes or '}'");
            events_.key(read_text());
            skip_whitespace();
            if (peek() != ':') fail_expected("':' after the key");
            ++p_;
            expect = Expect::value;
            continue;
        case Expect::value_or_close:
            if (c == ']') {
                close(']');
                expect = Expect::after_value;
                continue;
            }
            [[fallthrough]];
        case Expect::value:
            switch (c) {
            case '{': open('{'); expect = Expect::key_or_close; continue;
            case '[': open('['); expect = Expect::value_or_close; continue;
            case '"': events_.text(read_text()); break;
            case 't': read_literal("true"); events_.boolean(true); break;
            case 'f': read_literal("false"); events_.boolean(false); break;
            case 'n': read_literal("null"); events_.null(); break;
            default:
                if (c == '-' || (c >= '0' && c <= '9')) read_number();
                else fail_expected("a value");
            }
            expect = Expect::after_value;
            continue;
        case Expect::after_value:
            if (open_.empty()) {
                if (c != END) fail_expected(expected_after_value());
                return;
            }
            {
                const bool in_object = open_.back() == '{';
                const char closing = in_object ? '}' : ']';
                if (c == ',') {
                    ++p_;
                    expect = in_object ? Expect::key : Expect::value;
                } else if (c == closing) {
                    close(closing);
                } else {
                    fail_expected(expected_after_value());
                }
            }
            continue;
        }
    }
}

}  // namespace

void scan_json(TextSource &source, JsonEvents &events) {
    Scanner scanner(source, events);
    scanner.run();
}

}  // namespace job
