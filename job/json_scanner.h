// json_scanner.h - reads a JSON text piece by piece and hands what it finds
// to a handler as it goes, in the order of the text.
//
// One pass, no recursion, nothing held but the value being read: the text
// may come from a pipe, and a job of a million steps never stands in memory
// as a whole.  Strict JSON (RFC 8259): no comments, no trailing commas, no
// NaN, texts in well-formed UTF-8, at most 512 levels of objects and arrays.
// A fault is refused with the line and column of the byte where the text
// stops being JSON.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace job {

// Where a JSON text comes from.
class TextSource {
public:
    virtual ~TextSource() = default;
    // The next piece of the text, empty at its end.  A piece stays valid
    // until the next call.  Throws JobError when the text cannot be read.
    virtual std::string_view next_piece() = 0;
    // The length of the whole text when it is known beforehand (a regular
    // file), else 0.  Only a hint: the text may turn out longer or shorter.
    virtual std::size_t size_hint() const { return 0; }
};

// A text already in memory, handed on as one piece.
class TextInMemory : public TextSource {
public:
    explicit TextInMemory(std::string_view text) : text_(text) {}
    std::string_view next_piece() override {
        const std::string_view piece = handed_ ? std::string_view() : text_;
        handed_ = true;
        return piece;
    }
    std::size_t size_hint() const override { return text_.size(); }

private:
    std::string_view text_;
    bool handed_ = false;
};

// What the scanner finds.  Texts and keys are handed with escapes resolved;
// a view stays valid only during the call.
class JsonEvents {
public:
    virtual ~JsonEvents() = default;
    virtual void null() = 0;
    virtual void boolean(bool value) = 0;
    virtual void negative_integer(long long value) = 0;     // a whole number with "-" that fits 64 bits
    virtual void integer(unsigned long long value) = 0;     // a whole number without "-" that fits 64 bits
    virtual void fraction(double value) = 0;                // any other number (fraction, exponent, huge)
    virtual void text(std::string_view value) = 0;
    virtual void key(std::string_view name) = 0;            // the next member of the open object
    virtual void start_object() = 0;
    virtual void end_object() = 0;
    virtual void start_array() = 0;
    virtual void end_array() = 0;
};

// Reads one JSON value, the whole text, from source and hands it to events.
// A text that is no JSON is refused with a JobError "line L, column C:
// syntax error: ..." (a NUL byte and a number beyond the range of a double
// have messages of their own); what the handler throws passes through.
void scan_json(TextSource &source, JsonEvents &events);

}  // namespace job
