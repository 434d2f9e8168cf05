// json_field.cpp - typed access to the values of a job file.
#include "job/json_field.h"

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <sstream>

#include "job/job_reader.h"

namespace job {

namespace {

// A text as it may stand inside a one-line message.
std::string quoted_text(const std::string &text) {
    std::string out = "\"";
    for (unsigned char c : text.substr(0, 60)) {
        if (c < 0x20 || c == 0x7f) out += '?';
        else out += static_cast<char>(c);
    }
    if (text.size() > 60) out += "...";
    return out + "\"";
}

// "00C4" for the UTF-8 bytes of one character.
std::string code_point_text(std::string_view bytes) {
    const unsigned char lead = static_cast<unsigned char>(bytes[0]);
    unsigned long code = lead >= 0xF0 ? lead & 0x07u : lead >= 0xE0 ? lead & 0x0Fu : lead & 0x1Fu;
    for (std::size_t i = 1; i < bytes.size(); ++i) code = code << 6 | (static_cast<unsigned char>(bytes[i]) & 0x3Fu);
    char text[16];
    std::snprintf(text, sizeof text, "%04lX", code);
    return text;
}

}  // namespace

void fail_unknown_key(const JsonPath &path, std::string_view key, std::span<const std::string_view> allowed) {
    std::string list;
    for (std::string_view known : allowed) list += (list.empty() ? "" : ", ") + std::string(known);
    throw JobError(path.text() + ": unknown key " + quoted_text(std::string(key)) + " (known here: " + list + ")");
}

// ---- JsonField ------------------------------------------------------------------

void JsonField::fail(const std::string &message) const {
    throw JobError(place() + ": " + message);
}

bool JsonField::is_number() const {
    const JsonKind k = kind();
    return k == JsonKind::negative_integer || k == JsonKind::integer || k == JsonKind::fraction;
}

void JsonField::expect_object(std::span<const std::string_view> allowed) const {
    if (!is_object()) fail("expected an object, found " + kind_name());
    for (std::size_t at = size() > 0 ? at_ + 1 : 0; at != 0; at = tree_->node(at).next) {
        const std::string_view key = tree_->key(tree_->node(at));
        bool known = false;
        for (std::string_view k : allowed) known = known || same_key(key, k);
        if (!known) fail_unknown_key(path().key(key), key, allowed);
    }
}

bool JsonField::has(std::string_view key) const { return is_object() && tree_->find(at_, key) != 0; }

JsonField JsonField::member(std::string_view key) const {
    const std::size_t found = is_object() ? tree_->find(at_, key) : 0;
    if (found == 0) fail("missing key \"" + std::string(key) + "\"");
    return JsonField(*tree_, found);
}

std::string_view JsonField::first_key() const { return tree_->key(tree_->node(at_ + 1)); }

JsonField JsonField::first_member() const { return JsonField(*tree_, at_ + 1); }

std::size_t JsonField::array_size() const {
    if (!is_array()) fail("expected an array, found " + kind_name());
    return size();
}

JsonField JsonField::element(std::size_t index) const {
    return JsonField(*tree_, tree_->element(at_, index));
}

double JsonField::number() const {
    if (!is_number()) fail("expected a number, found " + kind_name());
    const double v = node().number;
    if (!std::isfinite(v) || v > MAX_NUMBER_SIZE || v < -MAX_NUMBER_SIZE) fail("the number is too large (at most 1e9 in size)");
    return v;
}

double JsonField::non_negative_number() const {
    double v = number();
    if (v < 0.0) fail("must not be negative");
    return v;
}

double JsonField::number_within(double min, double max) const {
    const double v = number();
    if (v < min || v > max) {
        std::ostringstream range;
        range << "out of range (" << min << " to " << max << ")";
        fail(range.str());
    }
    return v;
}

long long JsonField::integer(long long min, long long max) const {
    auto out_of_range = [&]() { fail("out of range (" + std::to_string(min) + " to " + std::to_string(max) + ")"); };
    switch (kind()) {
    case JsonKind::integer: {
        const unsigned long long v = node().whole;
        if (v > static_cast<unsigned long long>(max) || (min > 0 && v < static_cast<unsigned long long>(min))) {
            out_of_range();
        }
        return static_cast<long long>(v);
    }
    case JsonKind::negative_integer: {
        const long long v = node().negative;
        if (v < min || v > max) out_of_range();
        return v;
    }
    case JsonKind::fraction: {
        const double v = node().number;
        if (!std::isfinite(v) || v != std::floor(v)) fail("expected a whole number");
        if (v < static_cast<double>(min) || v > static_cast<double>(max)) out_of_range();
        return static_cast<long long>(v);
    }
    default: fail("expected a whole number, found " + kind_name());
    }
}

int JsonField::int32() const {
    return static_cast<int>(integer(std::numeric_limits<int>::min(), std::numeric_limits<int>::max()));
}

bool JsonField::boolean() const {
    if (kind() != JsonKind::boolean) fail("expected true or false, found " + kind_name());
    return node().truth;
}

std::string JsonField::text(std::size_t max_length) const {
    if (!is_text()) fail("expected a text, found " + kind_name());
    const std::string_view s = raw_text();
    if (s.size() > max_length) {
        fail("text of " + std::to_string(s.size()) + " characters is longer than its field (at most " +
             std::to_string(max_length) + ")");
    }
    // A line break or other control character would end the NC block that
    // the text stands in and start one the user never meant to write.
    for (unsigned char c : s) {
        if (c < 0x20 || c == 0x7f) fail("text holds a control character (line break, tab, ...)");
    }
    return std::string(s);
}

std::string JsonField::control_text(std::size_t max_length) const {
    if (!is_text()) fail("expected a text, found " + kind_name());
    const std::string_view s = raw_text();
    for (std::size_t i = 0; i < s.size(); ++i) {
        if (static_cast<unsigned char>(s[i]) < 0x80) continue;
        // The scanner took only UTF-8: name the character whole.
        std::size_t end = i + 1;
        while (end < s.size() && (static_cast<unsigned char>(s[end]) & 0xC0) == 0x80) ++end;
        fail("the character \"" + std::string(s.substr(i, end - i)) + "\" (U+" + code_point_text(s.substr(i, end - i)) +
             ") is not ASCII: the control reads its texts byte by byte and shows other characters garbled");
    }
    return text(max_length);
}

std::string JsonField::comment_text(std::size_t max_length) const {
    std::string s = control_text(max_length);
    // A parenthesis would end the comment early or open one that never
    // closes; "%" is the control's end of program.
    const auto at = s.find_first_of("()%");
    if (at != std::string::npos) {
        fail(std::string("text holds \"") + s[at] + "\", which cannot stand in the NC comment it is written in");
    }
    return s;
}

std::string JsonField::whole_number_text(std::size_t max_length) const {
    if (is_number()) {
        const long long v = integer(std::numeric_limits<int>::min(), std::numeric_limits<int>::max());
        std::string s = std::to_string(v);
        if (s.size() > max_length) fail("number is longer than its field (at most " + std::to_string(max_length) + " characters)");
        return s;
    }
    if (!is_text()) fail("expected a whole number or a text of one, found " + kind_name());
    std::string s = text(max_length);
    const std::size_t digits_from = !s.empty() && s[0] == '-' ? 1 : 0;
    bool digits = s.size() > digits_from;
    for (std::size_t i = digits_from; i < s.size(); ++i) digits = digits && s[i] >= '0' && s[i] <= '9';
    if (!digits) fail("expected a whole number, found the text " + quoted_text(s));
    errno = 0;
    const long long v = std::strtoll(s.c_str(), nullptr, 10);
    if (errno == ERANGE || v < std::numeric_limits<int>::min() || v > std::numeric_limits<int>::max()) {
        fail("out of range (" + std::to_string(std::numeric_limits<int>::min()) + " to " +
             std::to_string(std::numeric_limits<int>::max()) + ")");
    }
    return s;
}

std::size_t JsonField::choice(std::initializer_list<const char *> words) const {
    std::string list;
    for (const char *word : words) list += (list.empty() ? "\"" : ", \"") + std::string(word) + "\"";
    if (!is_text()) fail("expected one of " + list + ", found " + kind_name());
    const std::string_view s = raw_text();
    std::size_t index = 0;
    for (const char *word : words) {
        if (s == word) return index;
        ++index;
    }
    fail("unknown value " + quoted_text(std::string(s)) + " (expected one of " + list + ")");
}

void JsonField::point(double &x, double &y) const {
    if (!is_array() || size() != 2) {
        fail("expected a point [x, y], found " + (is_array() ? "an array of " + std::to_string(size()) : kind_name()));
    }
    x = element(0).number();
    y = element(1).number();
}

}  // namespace job
