// json_field.h - typed access to one value of a parsed job file, with the
// JSON path of the value for the error messages.
#pragma once

#include <cstddef>
#include <initializer_list>
#include <span>
#include <string>
#include <string_view>

#include "job/json_path.h"
#include "job/json_tree.h"

namespace job {

// The largest size of a number in a job: far beyond any sheet or feed; a
// number past it would not even fit the number text of an NC word.
inline constexpr double MAX_NUMBER_SIZE = 1e9;

// One value of a parsed part.  The tree must outlive it and stay unchanged
// while it is used.
class JsonField {
public:
    JsonField(const JsonTree &tree, std::size_t at) : tree_(&tree), at_(at) {}

    // The JSON path of the value (made when asked: a message, a place kept).
    JsonPath path() const { return tree_->path_of(at_); }
    // Its text, "/" for the whole file.
    std::string place() const { return path().text(); }

    // Refuses the job with a message about this value.
    [[noreturn]] void fail(const std::string &message) const;

    // ---- What the value is
    JsonKind kind() const { return node().kind; }
    bool is_object() const { return kind() == JsonKind::object; }
    bool is_array() const { return kind() == JsonKind::array; }
    bool is_text() const { return kind() == JsonKind::text; }
    bool is_number() const;
    // Members of an array or object, 0 for any other value.
    std::size_t size() const { return node().members; }
    // "an object", "a text", ... for messages.
    std::string kind_name() const { return job::kind_name(kind()); }

    // ---- Objects: the value must be an object with only the given keys.
    void expect_object(std::span<const std::string_view> allowed) const;
    void expect_object(std::initializer_list<std::string_view> allowed) const {
        expect_object(std::span<const std::string_view>(allowed.begin(), allowed.size()));
    }
    bool has(std::string_view key) const;
    JsonField member(std::string_view key) const;  // refused when missing
    // The first member of an object that has one, and its key.
    std::string_view first_key() const;
    JsonField first_member() const;

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
    // A text that goes to the control (into the program, or held against
    // LASER.PAR): printable ASCII only, as the control reads bytes and shows
    // any other character garbled.
    std::string control_text(std::size_t max_length) const;
    // A control text that is written inside an NC comment: no "(", ")" or "%".
    std::string comment_text(std::size_t max_length) const;
    // A whole number within the range of an int, given as a number (1.0 is
    // 1) or as a text of digits, kept as text (technology fields).
    std::string whole_number_text(std::size_t max_length) const;
    // A text that must be one of the given words; answers its index.
    std::size_t choice(std::initializer_list<const char *> words) const;
    // [x, y]: two finite numbers.
    void point(double &x, double &y) const;

private:
    const JsonNode &node() const { return tree_->node(at_); }
    std::string_view raw_text() const { return tree_->text(node()); }

    const JsonTree *tree_;
    std::size_t at_;
};

// Refuses the job for a key that is not one of allowed, at path (the key's
// own path).
[[noreturn]] void fail_unknown_key(const JsonPath &path, std::string_view key,
                                   std::span<const std::string_view> allowed);

}  // namespace job
