// json_field.h - typed access to one value of a parsed job file, with the
// JSON path of the value for the error messages.
#pragma once

#include <cstddef>
#include <initializer_list>
#include <string>

#include <nlohmann/json.hpp>

namespace job {

class JsonField {
public:
    JsonField(const nlohmann::json &value, std::string path)
        : value_(&value), path_(std::move(path)) {}

    const nlohmann::json &value() const { return *value_; }
    // The JSON path of the value, "/" for the whole file.
    std::string place() const { return path_.empty() ? "/" : path_; }

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
    long long integer(long long min, long long max) const;
    int int32() const;
    bool boolean() const;
    std::string text(std::size_t max_length) const;
    // A text or a whole number, kept as text (technology fields).
    std::string text_or_integer(std::size_t max_length) const;
    // A text that must be one of the given words; answers its index.
    std::size_t choice(std::initializer_list<const char *> words) const;
    // [x, y]: two finite numbers.
    void point(double &x, double &y) const;

private:
    const nlohmann::json *value_;
    std::string path_;
};

}  // namespace job
