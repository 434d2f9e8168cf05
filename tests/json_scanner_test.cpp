// json_scanner_test.cpp - the job reader's JSON scanner against a reference
// parser (nlohmann/json): the same texts taken and refused, the same values,
// however the text is cut into pieces; and the places of its faults.
#include <gtest/gtest.h>

#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "job/job_reader.h"
#include "job/json_scanner.h"

namespace {

using nlohmann::json;

// Hands a text on in pieces of a given size.
class PiecedText : public job::TextSource {
public:
    PiecedText(const std::string &text, std::size_t piece) : text_(text), piece_(piece) {}
    std::string_view next_piece() override {
        const std::size_t n = std::min(piece_, text_.size() - at_);
        const std::string_view piece(text_.data() + at_, n);
        at_ += n;
        return piece;
    }

private:
    const std::string &text_;
    std::size_t piece_;
    std::size_t at_ = 0;
};

// The scanner's events built into a reference value, to compare.
class ValueBuilder : public job::JsonEvents {
public:
    json result;

    void null() override { put(json(nullptr)); }
    void boolean(bool v) override { put(json(v)); }
    void negative_integer(long long v) override { put(json(static_cast<json::number_integer_t>(v))); }
    void integer(unsigned long long v) override { put(json(static_cast<json::number_unsigned_t>(v))); }
    void fraction(double v) override { put(json(v)); }
    void text(std::string_view v) override { put(json(std::string(v))); }
    void key(std::string_view name) override { keys_.back() = std::string(name); }
    void start_object() override { open(json::object()); }
    void end_object() override { close(); }
    void start_array() override { open(json::array()); }
    void end_array() override { close(); }

private:
    json *put(json v) {
        if (open_.empty()) {
            result = std::move(v);
            return &result;
        }
        json &container = *open_.back();
        if (container.is_object()) {
            json &slot = container[keys_.back()];  // a key given twice: the last one holds, as in the reference
            slot = std::move(v);
            return &slot;
        }
        container.push_back(std::move(v));
        return &container.back();
    }
    void open(json empty) {
        json *at = put(std::move(empty));
        open_.push_back(at);
        keys_.emplace_back();
    }
    void close() {
        open_.pop_back();
        keys_.pop_back();
    }
    std::vector<json *> open_;
    std::vector<std::string> keys_;
};

// The value of text as the scanner reads it in pieces of piece bytes
// (0: whole), dumped; "refused" when it refuses the text.
std::string scanned(const std::string &text, std::size_t piece) {
    ValueBuilder builder;
    try {
        if (piece == 0) {
            job::TextInMemory source(text);
            job::scan_json(source, builder);
        } else {
            PiecedText source(text, piece);
            job::scan_json(source, builder);
        }
    } catch (const job::JobError &) {
        return "refused";
    }
    return builder.result.dump();
}

// The same for the reference parser.
std::string reference(const std::string &text) {
    try {
        return json::parse(text).dump();
    } catch (const json::exception &) {
        return "refused";
    }
}

const std::size_t PIECE_SIZES[] = {0, 1, 2, 3, 5, 64};

void expect_same_as_reference(const std::string &text) {
    const std::string expected = reference(text);
    for (std::size_t piece : PIECE_SIZES) {
        ASSERT_EQ(scanned(text, piece), expected) << "pieces of " << piece << ": " << text.substr(0, 200);
    }
}

const char *const CORPUS[] = {
    // Values of every kind, nested, with all the white space JSON allows.
    R"({"machine": {"post_processor": 7001, "units": "inch"}, "work": [{"hit": {"x": 10.00, "y": -2.5e1, "tool": 11}}]})",
    " \t\r\n[ true , false , null , \"\" , {} , [] , [[[]]] , {\"a\" : {\"b\" : [1, {\"c\": null}]}} ] \n",
    R"([0, -0, 1, -1, 0.5, -0.0, 1e2, 1E2, 1e+2, 1e-2, 1.5e-300, 123456789012345678, 18446744073709551615,
        18446744073709551616, -9223372036854775808, -9223372036854775809, 1e-400, 0.1, 0.30000000000000004,
        9007199254740993, 2.2250738585072011e-308, 1.7976931348623157e308, 123.456e-5, 100e-2])",
    // Texts: escapes, surrogate pairs, UTF-8 of every length.
    R"(["\" \\ \/ \b \f \n \r \t", "\u0041\u00e9\u20ac\ud83d\ude00", "\u0000", "é€😀", "a\u005cb"])",
    "\xEF\xBB\xBF{\"after a byte order mark\": 1}",
    R"({"a": 1, "a": 2})",
    // Refused: each a single fault.
    "", " ", "{", "}", "[1,]", "[1 2]", "{\"a\" 1}", "{\"a\": 1,}", "{a: 1}", "['a']", "[01]", "[1.]", "[.5]",
    "[-]", "[1e]", "[1e+]", "[+1]", "[0x10]", "[NaN]", "[Infinity]", "[tru]", "[nul]", "[True]", "[1e999]",
    "[-1e999]", "{} {}", "[1] x", "\"unclosed", "[\"a\nb\"]", "[\"a\tb\"]", "[\"\\x\"]", "[\"\\u12\"]",
    "[\"\\ud800\"]", "[\"\\udc00\"]", "[\"\\ud800\\u0041\"]", "[\"\xC0\x80\"]", "[\"\xED\xA0\x80\"]",
    "[\"\xF4\x90\x80\x80\"]", "[\"\xE2\x82\"]", "[\"\x80\"]", "\xEF\xBB", "[1]\xEF\xBB\xBF", "// comment\n{}",
};

TEST(JsonScanner, TakesAndRefusesWhatTheReferenceDoes) {
    for (const char *text : CORPUS) expect_same_as_reference(text);
    // A NUL byte, anywhere.
    for (const std::string &text : {std::string("[1,\0 2]", 7), std::string("[\"a\0\"]", 6), std::string("\0", 1)}) {
        expect_same_as_reference(text);
    }
}

TEST(JsonScanner, NumbersAreTheNearestDoubles) {
    // Decimal texts of every length and exponent, the quick conversion and
    // the full one alike, against the reference's strtod.
    std::mt19937 random(20261208);
    std::string text = "[";
    for (int i = 0; i < 20000; ++i) {
        std::string number = random() % 2 ? "-" : "";
        const int whole_digits = 1 + static_cast<int>(random() % 20);
        number += static_cast<char>('1' + random() % 9);
        for (int d = 1; d < whole_digits; ++d) number += static_cast<char>('0' + random() % 10);
        if (random() % 3 != 0) {
            number += '.';
            const int fraction_digits = 1 + static_cast<int>(random() % 20);
            for (int d = 0; d < fraction_digits; ++d) number += static_cast<char>('0' + random() % 10);
        }
        if (random() % 3 == 0) number += "e" + std::to_string(static_cast<int>(random() % 80) - 40);
        text += (i > 0 ? "," : "") + number;
    }
    text += "]";
    expect_same_as_reference(text);
}

TEST(JsonScanner, MangledTextsAreTakenOrRefusedLikeTheReference) {
    // Valid texts with a byte changed, dropped or doubled: whatever comes of
    // it, the scanner and the reference agree (and nothing crashes).
    const std::string bytes = "{}[],:\"\\ 0123456789.eE+-tfnu\n\x01\x80\xC3\xFF";
    std::mt19937 random(42);
    for (int round = 0; round < 4000; ++round) {
        std::string text = CORPUS[random() % 5];
        const std::size_t at = random() % text.size();
        switch (random() % 3) {
        case 0: text[at] = bytes[random() % bytes.size()]; break;
        case 1: text.erase(at, 1 + random() % 3); break;
        default: text.insert(at, text.substr(at, 1 + random() % 4)); break;
        }
        expect_same_as_reference(text);
    }
}

TEST(JsonScanner, FaultsNameTheLineAndColumnOfTheOffendingByte) {
    struct Case {
        std::string text;
        std::string message;
    };
    const std::vector<Case> cases = {
        {"", "line 1, column 1: syntax error: expected a value, found the end of the text"},
        {"{\n  \"a\": [1,\n        2,]\n}", "line 3, column 11: syntax error: expected a value, found ']'"},
        {"{\"a\" 1}", "line 1, column 6: syntax error: expected ':' after the key, found '1'"},
        {"{\"a\": 1 \"b\": 2}", "line 1, column 9: syntax error: expected ',' or '}', found '\"'"},
        {"[1 2]", "line 1, column 4: syntax error: expected ',' or ']', found '2'"},
        {"{a: 1}", "line 1, column 2: syntax error: expected a key in double quotes or '}', found 'a'"},
        {"[01]", "line 1, column 3: syntax error: expected ',' or ']', found '1'"},
        {"[1.x]", "line 1, column 4: syntax error: expected a digit after the decimal point, found 'x'"},
        {"[1e]", "line 1, column 4: syntax error: expected a digit of the exponent, found ']'"},
        {"[-]", "line 1, column 3: syntax error: expected a digit, found ']'"},
        {"[tru]", "line 1, column 2: syntax error: expected a value, found an unknown word (a text needs double quotes)"},
        {"\n\n  [1e999]", "line 3, column 4: the number 1e999 is too large"},
        {"[\"ab\\qc\"]", "line 1, column 5: syntax error: an unknown escape in a text (known: \\\" \\\\ \\/ \\b \\f \\n \\r "
                         "\\t \\uXXXX)"},
        {"[\"a\tb\"]", "line 1, column 4: syntax error: a control character in a text; write it as an escape (\\n, "
                       "\\t, \\u00XX)"},
        {"[\"ab\xC3(\"]", "line 1, column 5: syntax error: a text that is not UTF-8"},
        {"[\"\\ud800x\"]", "line 1, column 3: syntax error: a \\u escape of a high surrogate without its low one"},
        {"[\"abc", "line 1, column 6: syntax error: the text is not closed before the end of the text"},
        {"\xEF\xBB\xBF [x]", "line 1, column 3: syntax error: expected a value, found 'x'"},
        {"[1]\n\x01", "line 2, column 1: syntax error: expected the end of the text, found the byte 0x01"},
        {std::string("[1,\n \0]", 7), "line 2, column 2: a NUL byte, which no JSON text holds"},
        {std::string(512, '[') + std::string(512, ']'), "taken"},
        {std::string(513, '['), "line 1, column 513: objects and arrays nested deeper than 512 levels"},
    };
    for (const Case &c : cases) {
        for (std::size_t piece : PIECE_SIZES) {
            ValueBuilder builder;
            std::string message = "taken";
            try {
                PiecedText source(c.text, piece == 0 ? c.text.size() + 1 : piece);
                job::scan_json(source, builder);
            } catch (const job::JobError &e) {
                message = e.what();
            }
            EXPECT_EQ(message, c.message) << "pieces of " << piece << ": " << c.text;
        }
    }
}

}  // namespace
