// json_field.cpp - typed access to the values of a job file.
#include "job/json_field.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <sstream>

#include "job/job_reader.h"

namespace job {
namespace {

}  // namespace

std::string kind_of(const nlohmann::json &value) {
    switch (value.type()) {
    case nlohmann::json::value_t::null: return "null";
    case nlohmann::json::value_t::object: return "an object";
    case nlohmann::json::value_t::array: return "an array";
    case nlohmann::json::value_t::string: return "a text";
    case nlohmann::json::value_t::boolean: return "true/false";
    case nlohmann::json::value_t::number_float: return "a number with a fraction";
    default: return "a number";
    }
}

namespace {

// A key as one segment of a JSON path: '~' and '/' escaped.
std::string path_segment(std::string_view key) {
    std::string out;
    for (char c : key) {
        if (c == '~') out += "~0";
        else if (c == '/') out += "~1";
        else out += c;
    }
    return out;
}

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

}  // namespace

// ---- JsonPath -------------------------------------------------------------------

JsonPath JsonPath::with(Segment segment) const {
    JsonPath out = *this;
    if (depth_ < MAX_DEPTH) out.segments_[out.depth_++] = segment;
    else out.cut_ = true;
    return out;
}

JsonPath JsonPath::key(std::string_view name) const { return with(Segment{name.data(), name.size()}); }

JsonPath JsonPath::index(std::size_t position) const { return with(Segment{nullptr, position}); }

std::string JsonPath::text() const {
    if (depth_ == 0) return "/";
    std::string out;
    for (std::size_t i = 0; i < depth_; ++i) {
        const Segment &s = segments_[i];
        out += '/';
        out += s.key != nullptr ? path_segment(std::string_view(s.key, s.value)) : std::to_string(s.value);
    }
    if (cut_) out += "/...";
    return out;
}

void fail_unknown_key(const JsonPath &path, std::string_view key, std::initializer_list<const char *> allowed) {
    std::string list;
    for (const char *known : allowed) list += (list.empty() ? "" : ", ") + std::string(known);
    throw JobError(path.text() + ": unknown key " + quoted_text(std::string(key)) + " (known here: " + list + ")");
}

// ---- JsonField ------------------------------------------------------------------

void JsonField::fail(const std::string &message) const {
    throw JobError(place() + ": " + message);
}

void JsonField::expect_object(std::initializer_list<const char *> allowed) const {
    if (!value_->is_object()) fail("expected an object, found " + kind_of(*value_));
    for (const auto &item : value_->items()) {
        bool known = false;
        for (const char *key : allowed) {
            if (item.key() == key) known = true;
        }
        if (!known) fail_unknown_key(path_.key(item.key()), item.key(), allowed);
    }
}

bool JsonField::has(const char *key) const { return value_->contains(key); }

JsonField JsonField::member(const char *key) const {
    auto found = value_->find(key);
    if (found == value_->end()) fail(std::string("missing key \"") + key + "\"");
    return JsonField(*found, path_.key(key));
}

std::size_t JsonField::array_size() const {
    if (!value_->is_array()) fail("expected an array, found " + kind_of(*value_));
    return value_->size();
}

JsonField JsonField::element(std::size_t index) const {
    return JsonField((*value_)[index], path_.index(index));
}

double JsonField::number() const {
    if (!value_->is_number()) fail("expected a number, found " + kind_of(*value_));
    double v = value_->get<double>();
    // Far beyond any sheet or feed; a number past it would not even fit the
    // number text of an NC word.
    constexpr double MAX_MAGNITUDE = 1e9;
    if (!std::isfinite(v) || v > MAX_MAGNITUDE || v < -MAX_MAGNITUDE) fail("the number is too large (at most 1e9 in size)");
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
    if (value_->is_number_unsigned()) {
        auto v = value_->get<unsigned long long>();
        if (v > static_cast<unsigned long long>(max) || (min > 0 && v < static_cast<unsigned long long>(min))) {
            out_of_range();
        }
        return static_cast<long long>(v);
    }
    if (value_->is_number_integer()) {
        auto v = value_->get<long long>();
        if (v < min || v > max) out_of_range();
        return v;
    }
    if (value_->is_number_float()) {
        double v = value_->get<double>();
        if (!std::isfinite(v) || v != std::floor(v)) fail("expected a whole number");
        if (v < static_cast<double>(min) || v > static_cast<double>(max)) out_of_range();
        return static_cast<long long>(v);
    }
    fail("expected a whole number, found " + kind_of(*value_));
}

int JsonField::int32() const {
    return static_cast<int>(integer(std::numeric_limits<int>::min(), std::numeric_limits<int>::max()));
}

bool JsonField::boolean() const {
    if (!value_->is_boolean()) fail("expected true or false, found " + kind_of(*value_));
    return value_->get<bool>();
}

std::string JsonField::text(std::size_t max_length) const {
    if (!value_->is_string()) fail("expected a text, found " + kind_of(*value_));
    const auto &s = value_->get_ref<const std::string &>();
    if (s.size() > max_length) {
        fail("text of " + std::to_string(s.size()) + " characters is longer than its field (at most " +
             std::to_string(max_length) + ")");
    }
    // A line break or other control character would end the NC block that
    // the text stands in and start one the user never meant to write.
    for (unsigned char c : s) {
        if (c < 0x20 || c == 0x7f) fail("text holds a control character (line break, tab, ...)");
    }
    return s;
}

std::string JsonField::comment_text(std::size_t max_length) const {
    std::string s = text(max_length);
    // A parenthesis would end the comment early or open one that never
    // closes; "%" is the control's end of program.
    const auto at = s.find_first_of("()%");
    if (at != std::string::npos) {
        fail(std::string("text holds \"") + s[at] + "\", which cannot stand in the NC comment it is written in");
    }
    return s;
}

std::string JsonField::whole_number_text(std::size_t max_length) const {
    if (value_->is_number_integer() || value_->is_number_unsigned()) {
        integer(std::numeric_limits<int>::min(), std::numeric_limits<int>::max());
        std::string s = value_->dump();
        if (s.size() > max_length) fail("number is longer than its field (at most " + std::to_string(max_length) + " characters)");
        return s;
    }
    if (!value_->is_string()) fail("expected a whole number or a text of one, found " + kind_of(*value_));
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
    if (!value_->is_string()) fail("expected one of " + list + ", found " + kind_of(*value_));
    const auto &s = value_->get_ref<const std::string &>();
    std::size_t index = 0;
    for (const char *word : words) {
        if (s == word) return index;
        ++index;
    }
    fail("unknown value " + quoted_text(s) + " (expected one of " + list + ")");
}

void JsonField::point(double &x, double &y) const {
    if (!value_->is_array() || value_->size() != 2) {
        fail("expected a point [x, y], found " +
             (value_->is_array() ? "an array of " + std::to_string(value_->size()) : kind_of(*value_)));
    }
    x = element(0).number();
    y = element(1).number();
}

}  // namespace job
