// json_field.h - typed access to one value of a parsed job file, with the
// JSON path of the value for the error messages.
#pragma once

#include <array>
#include <cstddef>
#include <initializer_list>
#include <string>
#include <string_view>

#include <nlohmann/json.hpp>

namespace job {

// The JSON path of a value, such as /work/3/hit/x, kept as its segments:
// copying one costs no allocation, and the text is only made for a message.
// Keys are not copied: a key must outlive the path (a literal, or a key of
// the parsed value).  Paths deeper than the job file goes are cut with
// "/...".
class JsonPath {
public:
    JsonPath() = default;
    JsonPath key(std::string_view name) const;
    JsonPath index(std::size_t position) const;
    std::string text() const;  // "/" for the whole file

private:
    struct Segment {
        const char *key = nullptr;  // none: an array position
        std::size_t value = 0;      // key length, or the array position
    };
    static constexpr std::size_t MAX_DEPTH = 14;
    JsonPath with(Segment segment) const;

    std::array<Segment, MAX_DEPTH> segments_{};
    std::size_t depth_ = 0;
    bool cut_ = false;  // deeper segments were left out
};

class JsonField {
public:
    JsonField(const nlohmann::json &value, const JsonPath &path) : value_(&value), path_(path) {}

    const nlohmann::json &value() const { return *value_; }
    const JsonPath &path() const { return path_; }
    // The JSON path of the value, "/" for the whole file.
    std::string place() const { return path_.text(); }

    // Refuses the job with a message about this value.
    [[noreturn]] void fail(const std::string &message) const;

    // ---- Objects: the value must be an object with only the given keys.
    void expect_object(std::initializer_list<const char *> allowed) const;
    bool has(const char *key) const;
    JsonField member(const char *key) const;  // refused when missing

    // ---- Arrays
    std::size_t array_size() const;  // refused when not an array
    JsonField element(std::size_t index) const;

    // ---- Scalars
    double number() const;                  // finite
    double non_negative_number() const;     // finite and >= 0
    double number_within(double min, double max) const;
    long long integer(long long min, long long max) const;
    int int32() const;
    bool boolean() const;
    std::string text(std::size_t max_length) const;
    // A text that is written inside an NC comment: no "(", ")" or "%".
    std::string comment_text(std::size_t max_length) const;
    // A whole number within the range of an int, given as a number or as a
    // text of digits, kept as text (technology fields).
    std::string whole_number_text(std::size_t max_length) const;
    // A text that must be one of the given words; answers its index.
    std::size_t choice(std::initializer_list<const char *> words) const;
    // [x, y]: two finite numbers.
    void point(double &x, double &y) const;

private:
    const nlohmann::json *value_;
    JsonPath path_;
};

// What a JSON value is, for messages: "an object", "a text", ...
std::string kind_of(const nlohmann::json &value);

// Refuses the job for a key that is not one of allowed, at path (the key's
// own path).
[[noreturn]] void fail_unknown_key(const JsonPath &path, std::string_view key,
                                   std::initializer_list<const char *> allowed);

}  // namespace job
